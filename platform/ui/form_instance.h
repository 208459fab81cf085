#pragma once
// The global instance of a form, created (and loaded) on first use and gone after Unload, as the
// system's code expects of its forms:
//
//   inline kyx::ui::FormInstance<FrmMenuRiga> frmMenuRiga;
//   frmMenuRiga->Carica();          // creates and loads the form when it is not loaded
//   if (frmMenuRiga.Loaded()) ...   // asks without creating it
//   frmMenuRiga->Unload();          // the next use creates a fresh form
#include <QCoreApplication>

#include "platform/ui/ky_form.h"

namespace kyx::ui {

template <class T>
class FormInstance {
 public:
  FormInstance() = default;
  FormInstance(const FormInstance&) = delete;
  FormInstance& operator=(const FormInstance&) = delete;
  ~FormInstance() {
    // At program exit the widgets go only while the application object still exists.
    if (form_ && QCoreApplication::instance()) {
      form_->on_released = nullptr;
      delete form_;
    }
  }

  T& get() {
    if (!form_) {
      form_ = new T();
      form_->on_released = [this] { form_ = nullptr; };
      form_->Load();
    }
    return *form_;
  }
  T* operator->() { return &get(); }
  T& operator*() { return get(); }
  // Whether the form exists now (without creating it).
  bool Loaded() const { return form_ != nullptr; }
  // The form when it exists, else nullptr.
  T* peek() const { return form_; }

 private:
  T* form_ = nullptr;
};

}  // namespace kyx::ui
