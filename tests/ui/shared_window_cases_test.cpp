// The window's state table, the same cases as for the Win32 window.
#include "ui/qt_window_driver.h"
#include "form/window_cases.h"

namespace veltrana {
namespace {

class QtWindowCases : public testing::WindowCaseTest {
 protected:
  QtWindowCases() { driver_ = std::make_unique<testing::QtWindowDriver>(); }
};

VELTRANA_WINDOW_CASES(QtWindowCases)

}  // namespace
}  // namespace veltrana
