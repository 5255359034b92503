#include <gtest/gtest.h>

#include <string>

#include "drawing/LayerFixture.h"
#include "drawing/Layout.h"
#include "drawing/Layouts.h"

namespace {

using qv::test::LayerDrawingTest;

CLayout* layoutNamed(const wchar_t* name) {
    auto* layout = new CLayout;
    layout->setName(name);
    return layout;
}

std::wstring namesOf(const CLayouts& layouts) {
    std::wstring names;
    for (int i = 0; i < layouts.getCount(); i++) {
        names += (i ? L"," : L"") + std::wstring(layouts.getAt(i)->getName().GetString());
    }
    return names;
}

class LayoutsTest : public LayerDrawingTest {
  protected:
    void addLayout(const ACHAR* name) {
        WriteLock lock(document());
        AcDbObjectId layout, block;
        ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->createLayout(name, layout, block),
                  Acad::eOk);
    }
};

TEST(Layouts, NamesAreUniqueByExactName) {
    CLayouts layouts;
    EXPECT_EQ(CLayout().getName(), CString(L""));
    const struct {
        const wchar_t* name;
        const wchar_t* held;
    } cases[] = {{L"Plan", L"Plan"},
                 {L"Plan", L"Plan"},
                 {L"PLAN", L"Plan,PLAN"},
                 {L"", L"Plan,PLAN,"},
                 {L"", L"Plan,PLAN,"}};
    for (const auto& c : cases) {
        layouts.add(layoutNamed(c.name));
        EXPECT_EQ(namesOf(layouts), c.held) << c.name;
    }
    layouts.deleteObjects();
    EXPECT_EQ(layouts.getCount(), 0);
}

TEST_F(LayoutsTest, ADrawingGivesModelSpaceAndEveryPaperLayoutInBlockOrder) {
    addLayout(L"Plan");
    {
        WriteLock lock(document());
        ASSERT_EQ(acdbHostApplicationServices()->layoutManager()->setCurrentLayout(L"Plan"),
                  Acad::eOk);
    }
    CLayouts layouts;
    layouts.getDWGLayouts(drawing());
    EXPECT_EQ(namesOf(layouts), L"Model,Layout1,Plan");
    // Read again, nothing is added twice.
    layouts.getDWGLayouts(drawing());
    EXPECT_EQ(layouts.getCount(), 3);
    EXPECT_EQ(document()->qvLockCount(), 0);

    acDocManager->qvRefuseLocks(-1);
    CLayouts none;
    none.getDWGLayouts(drawing());
    acDocManager->qvRefuseLocks(0);
    EXPECT_EQ(none.getCount(), 0);
}

}  // namespace
