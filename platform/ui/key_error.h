#pragma once
// Errors that the layer's keyed collections and property checks raise. The system's code treats
// them as the run-time errors its controls raise: an unknown key is "element not found" (35601),
// a duplicate key "key is not unique in collection" (35602), an index outside the collection
// "index out of bounds" (35600). Callers that expect them trap them (catch KeyError); anything
// else lets them reach the event that started the work.
#include <stdexcept>
#include <string>
#include <string_view>

namespace kyx::ui {

class KeyError : public std::runtime_error {
 public:
  static constexpr int kIndexOutOfBounds = 35600;
  static constexpr int kElementNotFound = 35601;
  static constexpr int kKeyNotUnique = 35602;

  KeyError(int number, const std::string& message) : std::runtime_error(message), number_(number) {}
  // The run-time error number (Err.Number).
  int Number() const { return number_; }

  static KeyError not_found(std::string_view what, std::string_view key) {
    return KeyError(kElementNotFound,
                    std::string(what) + ": elemento non trovato (\"" + std::string(key) + "\")");
  }
  static KeyError not_unique(std::string_view what, std::string_view key) {
    return KeyError(kKeyNotUnique, std::string(what) + ": chiave non univoca (\"" +
                                       std::string(key) + "\")");
  }
  static KeyError bad_index(std::string_view what, long index) {
    return KeyError(kIndexOutOfBounds,
                    std::string(what) + ": indice fuori limite (" + std::to_string(index) + ")");
  }

 private:
  int number_;
};

}  // namespace kyx::ui
