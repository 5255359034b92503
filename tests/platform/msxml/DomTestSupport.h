// Shared fixture of the DOM tests: COM initialised, a fresh temporary folder, file helpers.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "comdef.h"
#include "msxml6.h"

namespace qv::test {

class DomTest : public ::testing::Test {
  protected:
    DomTest() {
        EXPECT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        folder = std::filesystem::temp_directory_path() /
                 ("qv-dom-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                  "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    ~DomTest() override {
        std::filesystem::remove_all(folder);
        CoUninitialize();
    }

    static MSXML2::IXMLDOMDocumentPtr newDocument() {
        MSXML2::IXMLDOMDocumentPtr doc;
        EXPECT_EQ(S_OK, doc.CreateInstance(L"Msxml2.DOMDocument"));
        return doc;
    }
    static MSXML2::IXMLDOMDocumentPtr parse(const wchar_t* xml) {
        MSXML2::IXMLDOMDocumentPtr doc = newDocument();
        EXPECT_EQ(VARIANT_TRUE, doc->loadXML(xml))
            << static_cast<const char*>(doc->GetparseError()->Getreason());
        return doc;
    }
    std::string path(const std::string& name) const { return (folder / name).string(); }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void write(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    template <class F>
    static _com_error raised(F&& f) {
        try {
            f();
        } catch (const _com_error& e) {
            return e;
        }
        return _com_error(S_OK);
    }

    std::filesystem::path folder;
};

}  // namespace qv::test
