#include <gtest/gtest.h>

#include "core/ErrorCapture.h"
#include "core/OrvanExceptions.h"

using qv::test::caught;
using qv::test::Chain;

namespace {

const CString MODULE = L"ORVAN Halcyra compatible with 64bit BricsCAD 15";

TEST(HostStatusError, DescribesTheStatusTheLineAndTheDrawing) {
    const struct {
        Acad::ErrorStatus status;
        long line;
        const wchar_t* drawing;
        const wchar_t* description;
    } cases[] = {
        {Acad::eWasOpenForWrite, 373, L"",
         L"The following AutoCAD error occurred on line#373: eWasOpenForWrite."},
        {Acad::eLockViolation, 566, L"c:\\work\\plan.dwg",
         L"The following AutoCAD error occurred on line#566: eLockViolation, whilst processing "
         L"drawing c:\\work\\plan.dwg."},
    };
    for (const auto& c : cases) {
        Chain error(new CEXUnhandled(c.status, MODULE, L"AcadDrawing.cpp",
                                     L"CAcadDrawing::openDrawing", c.line, c.drawing, nullptr));
        EXPECT_EQ(CString(c.description), error->getDescription());
        EXPECT_EQ(static_cast<int>(c.status), error->getCode());
        EXPECT_EQ(2, error->getSeverity());
        EXPECT_EQ(CString(L"AcadDrawing"), error->getClass());
    }
}

TEST(HostStatusError, AStatusThrownAsAValueIsWrappedWithTheHandlersLine) {
    long line = 0;
    auto error = caught([&] {
        try {
            throw Acad::eWasErased;
        } catch (...) {
            line = __LINE__ + 1;
            throwWrapped(L"Layers.cpp", L"CLayers::getDWGLayers");
        }
    });
    ASSERT_TRUE(error);
    EXPECT_EQ(nullptr, error->getInnerException());
    EXPECT_EQ(static_cast<int>(Acad::eWasErased), error->getCode());
    EXPECT_EQ(CString(L"The following AutoCAD error occurred on line#") +
                  CString(std::to_wstring(line).c_str()) + L": eWasErased.",
              error->getDescription());
}

}  // namespace
