// Writes answers into a history file for ever, as the program writes them,
// and prints the number of each answer once it is committed. The kill test
// ends it with SIGKILL at a random moment.
#include "history/historystore.h"

#include <QDateTime>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    if (argc < 3)
        return 2;
    nk::HistoryStore store(QString::fromLocal8Bit(argv[1]));
    for (qint64 number = std::atoll(argv[2]);; ++number) {
        nk::HistoryAnswer answer;
        answer.at = QDateTime::currentDateTime();
        answer.level = int(number % 28) + 1;
        answer.kind = nk::HistoryKind::Training;
        answer.answerMs = number; // the answer's number, for the test to find it
        answer.noteCount = 3;
        for (int i = 0; i < 3; ++i) {
            answer.played.append({5, quint8((number + i) % 12)});
            answer.answered.append({5, quint8((number + 2 * i) % 12)});
        }
        if (!store.recordAnswer(answer))
            return 1;
        std::printf("%lld\n", static_cast<long long>(number));
        std::fflush(stdout);
    }
}
