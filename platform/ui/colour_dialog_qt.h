#pragma once
// The Qt colour dialog behind host::ShowColor.
namespace kyx::ui {

// Installs it for the program (system colours are resolved before the dialog opens).
void install_colour_dialog();

}  // namespace kyx::ui
