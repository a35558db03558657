// The window's state table, the same cases as for the Qt window.
#include "form/window_cases.h"
#include "win32/win32_window_driver.h"

namespace veltrana {
namespace {

class Win32WindowCases : public test::WindowCaseTest {
 protected:
  Win32WindowCases() { driver_ = std::make_unique<test::Win32WindowDriver>(); }
};

VELTRANA_WINDOW_CASES(Win32WindowCases)

}  // namespace
}  // namespace veltrana
