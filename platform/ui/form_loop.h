#pragma once
// The event loop of a program made of forms: it runs while one of its forms is loaded. A form
// unloaded from code is hidden, not closed, so the count of loaded forms is watched rather than
// the closing of the last window.
class QApplication;

namespace kyx::ui {

// Runs `app` until no form is loaded (at once when none is) and returns its exit status.
int run_while_forms_loaded(QApplication& app);

}  // namespace kyx::ui
