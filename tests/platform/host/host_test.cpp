#include "platform/host/host.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/host/scripted_host.h"

namespace kyx::host {
namespace {

TEST(DefaultAnswer, IsTheDefaultButtonOfTheStyle) {
  struct Case {
    int style, answer;
  } cases[] = {
      {vbOKOnly, vbOK},
      {vbOKCancel | vbQuestion, vbOK},
      {vbOKCancel | vbDefaultButton2, vbCancel},
      {vbYesNo | vbQuestion, vbYes},
      {vbYesNo | vbDefaultButton2 | vbExclamation, vbNo},
      {vbYesNoCancel | vbDefaultButton3, vbCancel},
      {vbAbortRetryIgnore | vbDefaultButton2, vbRetry},
      {vbRetryCancel | vbCritical, vbRetry},
      {vbYesNo | vbDefaultButton3, vbYes},  // no third button: the first is the default
      {vbOKOnly | vbDefaultButton2, vbOK},
      {7, vbOK},                            // not a button set BASIC defines
  };
  for (const auto& c : cases) EXPECT_EQ(default_answer(c.style), c.answer) << "style " << c.style;
}

TEST(Host, QuietDefaultAnswersWithoutAnyoneThere) {
  Host* previous = set_host(nullptr);
  EXPECT_EQ(MsgBox("Confermi?", vbYesNo | vbDefaultButton2, "Kyx"), vbNo);
  DoEvents();
  host().SetPanel("Stato", "x");
  set_host(previous);
  EXPECT_EQ(windows_major_version(), 6);
}

TEST(ScriptedHost, AnswersExpectedBoxesInOrderAndRecordsTheRest) {
  ScriptedHost script;
  script.expect("Errore 012", vbOK).expect("Confermi", vbNo);
  EXPECT_EQ(MsgBox("Errore 012 - connessione", 16, "Kyx"), vbOK);
  EXPECT_EQ(MsgBox("Confermi la cancellazione?", vbYesNo, "Kyx"), vbNo);
  EXPECT_EQ(script.pending(), 0u);
  ASSERT_EQ(script.shown().size(), 2u);
  EXPECT_EQ(script.shown()[1].text, "Confermi la cancellazione?");
  EXPECT_EQ(script.shown()[1].style, vbYesNo);

  host().DebugLog("riga 1");
  host().SetPointer(vbHourglass);
  host().SetPanel("Stato", "Attendere");
  int seen_in_pump = 0;
  script.on_pump = [&] {
    seen_in_pump = script.pumps();
    DoEvents();  // pumping from inside the pump must not recurse
  };
  DoEvents();
  EXPECT_EQ(seen_in_pump, 1);
  EXPECT_EQ(script.pumps(), 2);
  EXPECT_EQ(script.log(), std::vector<std::string>{"riga 1"});
  EXPECT_EQ(script.pointer(), vbHourglass);
  EXPECT_EQ(script.panels(), std::vector<std::string>{"Stato=Attendere"});
}

TEST(ScriptedHost, UnexpectedOrMismatchedBoxFails) {
  ScriptedHost script;
  try {
    MsgBox("Integrit\xE0 violata", 16, "Kyx");
    FAIL() << "an unexpected box must throw";
  } catch (const std::logic_error& e) {
    EXPECT_NE(std::string(e.what()).find("Integrit\xC3\xA0 violata"), std::string::npos);  // UTF-8
  }

  std::vector<std::string> failures;
  script.on_failure = [&](const std::string& what) { failures.push_back(what); };
  script.expect("Salvare", vbYes);
  EXPECT_EQ(MsgBox("Uscire?", vbYesNo | vbDefaultButton2, "Kyx"), vbNo);  // default answer
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("Salvare"), std::string::npos);
  EXPECT_EQ(script.pending(), 1u);  // the expectation waits for its box
  EXPECT_EQ(MsgBox("Salvare le modifiche?", vbYesNo, "Kyx"), vbYes);
  EXPECT_EQ(script.shown().size(), 3u);
}

TEST(ScriptedHost, NestedHostsRestoreInStackOrder) {
  Host* before = &host();
  {
    ScriptedHost outer;
    {
      ScriptedHost inner;
      EXPECT_EQ(&host(), &inner);
    }
    EXPECT_EQ(&host(), &outer);
  }
  EXPECT_EQ(&host(), before);
}

}  // namespace
}  // namespace kyx::host
