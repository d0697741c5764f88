#include "pinwindow/PinController.h"

namespace {

CPinController* g_controller = nullptr;

}  // namespace

CPinController* pinController() { return g_controller; }

void setPinController(CPinController* controller) { g_controller = controller; }
