// The eight parameter kinds and their list, without a database: what each kind hands ADO, how it
// writes itself as XML, and how the list finds and dumps its parameters.
#include <functional>

#include "DatabaseFixture.h"

namespace qv::test {
namespace {

class ParametersTest : public ::testing::Test {
  protected:
    ParametersTest() { CoInitialize(nullptr); }
    ~ParametersTest() override { CoUninitialize(); }
};

TEST_F(ParametersTest, EachKindHandsAdoItsTypeSizeAndValueAndWritesItselfAsXml) {
    struct Case {
        std::function<CParameter*()> make;
        int type, size;
        VARTYPE variantType;
        const char* typeWord;
        const char* valueText;
    };
    const Case cases[] = {
        {[] { return new CParameterInt; }, 3, 4, VT_INT, "int", "0"},  // unset: the integer 0
        {[] { return new CParameterVarChar; }, 200, 255, VT_INT, "varchar", ""},
        {[] { return parameter<CParameterBoolean>(L"@b", 1, 5); }, 11, 1, VT_BOOL, "boolean",
         "true"},
        {[] { return parameter<CParameterBoolean>(L"@b", 1, 0); }, 11, 1, VT_BOOL, "boolean",
         "false"},
        {[] { return text<CParameterChar>(L"@c", 1, 8, L"64.04.00.01"); }, 129, 8, VT_BSTR, "char",
         "64.04.00.01"},  // never cut to its size
        {[] {
             return parameter<CParameterDateTime>(L"@d", 1, COleDateTime(2014, 11, 24, 0, 0, 0));
         },
         135, 0, VT_DATE, "dateTime", "2014112400h0000_"},
        {[] { return decimal(L"@n", 1, 1234.5); }, 131, 9, VT_R8, "decimal", "1234.50000"},
        {[] {
             CParameterDecimal* p = decimal(L"@n", 1, -0.000004);
             p->setSize(12);
             return p;
         },
         131, 12, VT_R8, "decimal", "-0.00000"},
        {[] { return parameter<CParameterFloat>(L"@f", 1, 0.1); }, 131, 8, VT_R8, "float",
         "0.10000"},
        {[] { return parameter<CParameterInt>(L"@i", 1, -7); }, 3, 4, VT_I4, "int", "-7"},
        {[] { return parameter<CParameterTinyInt>(L"@t", 1, BYTE{255}); }, 16, 1, VT_UI1, "tinyInt",
         "255"},
        {[] { return text<CParameterVarChar>(L"@v", 1, 12, L"Größe € 😀"); }, 200, 12, VT_BSTR,
         "varchar", "Größe € 😀"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<CParameter> p(c.make());
        SCOPED_TRACE(std::string(c.typeWord) + " " + c.valueText);
        EXPECT_EQ(c.type, p->getType());
        EXPECT_EQ(c.size, p->getSize());
        EXPECT_EQ(c.variantType, p->getValue().vt);
        const std::vector<std::string> expected = {
            "parameter/parameterName=" + narrow(p->getName()),
            std::string("parameter/parameterType=") + c.typeWord,
            "parameter/parameterSize=" + std::to_string(c.size),
            std::string("parameter/parameterValue=") + c.valueText,
        };
        MSXML2::IXMLDOMNodePtr xml = p->serialize(L"urn:test");
        EXPECT_EQ(expected, leaves(xml));
        EXPECT_EQ(std::vector<std::string>(5, "urn:test"), namespaces(xml));
    }
    // ADO's true has all bits set.
    EXPECT_EQ(VARIANT_TRUE,
              std::unique_ptr<CParameterBoolean>(parameter<CParameterBoolean>(L"@b", 1, 5))
                  ->getValue()
                  .boolVal);
}

TEST_F(ParametersTest, TheListFindsDumpsAndSerialisesItsParametersInOrder) {
    CParameters list;
    EXPECT_EQ(CString(), list.outToString());
    EXPECT_EQ(std::vector<std::string>{"parameters="}, leaves(list.serialize(L"urn:test")));

    EXPECT_EQ(1, list.add(text<CParameterVarChar>(L"@name", 1, 12, L"Library")));
    EXPECT_EQ(2, list.add(parameter<CParameterInt>(L"@id", 3, 7)));
    EXPECT_EQ(3, list.add(new CParameterInt));  // no name
    EXPECT_EQ(4, list.add(parameter<CParameterInt>(L"@id", 2, 8)));
    const std::pair<const wchar_t*, int> lookups[] = {{L"@id", 1}, {L"@ID", -1}, {L"@Name", -1},
                                                      {L"", 2},    {nullptr, 2}, {L"@nosuch", -1}};
    for (const auto& [name, index] : lookups) {
        EXPECT_EQ(index < 0 ? nullptr : list.getAt(index), list.getParameter(_bstr_t(name)))
            << (name ? narrow(CString(name)) : "null");
    }
    EXPECT_EQ(CString(L"\tParameters\n\t\tName: @name\t\tValue: Library\n"
                      L"\tParameters\n\t\tName: @id\t\tValue: 7\n"
                      L"\tParameters\n\t\tName: \t\tValue: 0\n"
                      L"\tParameters\n\t\tName: @id\t\tValue: 8\n"),
              list.outToString());
    const std::vector<std::string> xml = leaves(list.serialize(L"urn:test"));
    ASSERT_EQ(16u, xml.size());
    EXPECT_EQ("parameters/parameter/parameterName=@name", xml[0]);
    EXPECT_EQ("parameters/parameter/parameterValue=8", xml[15]);

    list.deleteObjects();
    EXPECT_EQ(0, list.getCount());
    EXPECT_EQ(nullptr, list.getParameter(L"@id"));
}

}  // namespace
}  // namespace qv::test
