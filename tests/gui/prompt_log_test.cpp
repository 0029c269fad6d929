// The prompt-log test hook that outside test suites drive: it answers from
// its list, then with each question's first button (Yes to a delete whose box
// defaults to No), and logs every question with the box's default.
#include <QTest>
#include <fstream>
#include <nlohmann/json.hpp>

#include "dialogs/prompts.h"
#include "temp_dir.h"

using namespace varnok::app;

class PromptLogTest : public QObject {
  Q_OBJECT
 private slots:
  void answersFromTheListThenWithTheFirstButton() {
    varnok::test::TempDir dir;
    const std::string log = dir.file("prompts.jsonl");
    std::unique_ptr<Prompter> p = MakeLoggingPrompter(log, "No");
    QCOMPARE(p->askWithDefault(PromptKind::Warning, PromptButtons::YesNo, "delete a?", PromptAnswer::No),
             PromptAnswer::No);
    QCOMPARE(p->askWithDefault(PromptKind::Warning, PromptButtons::YesNo, "delete b?", PromptAnswer::No),
             PromptAnswer::Yes);
    QCOMPARE(p->ask(PromptKind::Warning, PromptButtons::YesNoCancel, "apply?"), PromptAnswer::Yes);
    std::ifstream in(log);
    std::string line;
    std::vector<nlohmann::json> lines;
    while (std::getline(in, line)) lines.push_back(nlohmann::json::parse(line));
    QCOMPARE(lines.size(), std::size_t(3));
    QCOMPARE(lines[1]["text"].get<std::string>(), std::string("delete b?"));
    QCOMPARE(lines[1]["default"].get<std::string>(), std::string("No"));
    QCOMPARE(lines[2]["default"].get<std::string>(), std::string("Yes"));
  }
};

QTEST_MAIN(PromptLogTest)
#include "prompt_log_test.moc"
