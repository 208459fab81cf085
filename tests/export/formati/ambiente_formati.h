#pragma once
// A result to export in every format: a real elaboration loads the layout that the workbooks
// consult (its formatting on, no macro); each test then puts its own result in place of the
// elaboration's.
#include <gtest/gtest.h>

#include "tests/export/ambiente_esporta.h"

namespace kyx::test {

class AmbienteFormati : public AmbienteEsporta {
 protected:
  void SetUp() override {
    AmbienteEsporta::SetUp();
    ASSERT_TRUE(Cn_MDB0->Execute("UPDATE LAYOUT SET XLSSTD='S', XLSRUN=''").ok());
    Elabora();
  }
};

}  // namespace kyx::test
