// The window's state table, the same cases as for the Qt window.
#include "win32/win32_window_driver.h"
#include "form/window_cases.h"

namespace veltrana {
namespace {

class Win32WindowCases : public testing::WindowCaseTest {
 protected:
  Win32WindowCases() { driver_ = std::make_unique<testing::Win32WindowDriver>(); }
};

VELTRANA_WINDOW_CASES(Win32WindowCases)

}  // namespace
}  // namespace veltrana
