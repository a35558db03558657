// The window's state table, the same cases as for the Win32 window.
#include "form/window_cases.h"
#include "ui/qt_window_driver.h"

namespace veltrana {
namespace {

class QtWindowCases : public test::WindowCaseTest {
 protected:
  QtWindowCases() { driver_ = std::make_unique<test::QtWindowDriver>(); }
};

VELTRANA_WINDOW_CASES(QtWindowCases)

}  // namespace
}  // namespace veltrana
