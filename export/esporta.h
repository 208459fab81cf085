#pragma once
// Esporta, the command behind the toolbar key "Salva": asks for the file and the format in the
// save dialog, checks the name and the folder, remembers the folder and the format in the
// profile and hands the file to the writer of the chosen format.
namespace kyx {

void Esporta();

}  // namespace kyx
