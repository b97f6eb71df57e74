// The progress window's bar rules, with a clock the test moves by hand.
#include <QLabel>
#include <QTest>

#include "dialogs/modal_helper.h"
#include "dialogs/progress_window.h"

namespace {

struct Fixture {
    qint64 now = 1000;
    qv::TShowObject show{30, [this] { return now; }};  // caption allowance 7
    qv::TProgresPanel* Panel(qv::ProgressBars::Bar bar) {
        return static_cast<qv::TProgresPanel*>(bar);
    }
};

}  // namespace

class ProgressWindowTest : public QObject {
    Q_OBJECT
  private slots:
    void emptyRangeBecomesMinusThreeToZero() {
        Fixture f;
        auto bar = f.show.AddBar();
        f.show.SetBarRange(bar, 0, 0);
        f.show.SetBarPosition(bar, 0);
        QCOMPARE(f.Panel(bar)->GProgLista->MinValue(), -3);
        QCOMPARE(f.Panel(bar)->GProgLista->Text(), QString("100%"));
        f.show.RemoveBar(bar);
    }

    void positiveRangeRunsFromZeroWithOffset() {
        Fixture f;
        auto bar = f.show.AddBar();
        f.show.SetBarRange(bar, 10, 20);
        qv::TGauge* gauge = f.Panel(bar)->GProgLista;
        QCOMPARE(gauge->MinValue(), 0);
        QCOMPARE(gauge->MaxValue(), 10);
        f.show.SetBarPosition(bar, 9);  // outside: ignored, the clock is not consumed
        f.show.SetBarPosition(bar, 15);
        QCOMPARE(gauge->Progress(), 5);
        QCOMPARE(gauge->Text(), QString("50%"));
        f.now += 301;
        f.show.SetBarPosition(bar, 21);
        QCOMPARE(gauge->Progress(), 5);
        f.show.RemoveBar(bar);
    }

    void reversedRangeIsRefused() {
        Fixture f;
        auto bar = f.show.AddBar();
        f.show.SetBarRange(bar, 0, 50);
        auto seen = qv::test::AnswerMessageBox(QMessageBox::Ok);
        f.show.SetBarRange(bar, 5, 2);
        QVERIFY(seen->shown);
        QCOMPARE(seen->text, QString("Chybně zadané Min Max"));
        QCOMPARE(f.Panel(bar)->GProgLista->MaxValue(), 50);
        f.show.RemoveBar(bar);
    }

    void drawsAtMostEvery300ms() {
        Fixture f;
        auto bar = f.show.AddBar();
        f.show.SetBarRange(bar, 0, 100);
        qv::TGauge* gauge = f.Panel(bar)->GProgLista;
        f.show.SetBarPosition(bar, 1);
        f.now += 300;
        f.show.SetBarPosition(bar, 2);
        QCOMPARE(gauge->Progress(), 1);
        f.now += 1;
        f.show.SetBarPosition(bar, 3);
        QCOMPARE(gauge->Progress(), 3);
        f.show.RemoveBar(bar);
    }

    void stepFilterPassesEveryNthAndTheEnd() {
        Fixture f;
        auto bar = f.show.AddBar();
        f.show.SetBarRange(bar, 0, 10);
        f.show.Window()->SetStepSize(f.Panel(bar), 3);
        qv::TGauge* gauge = f.Panel(bar)->GProgLista;
        f.show.SetBarPosition(bar, 1);
        f.show.SetBarPosition(bar, 2);
        QCOMPARE(gauge->Progress(), 0);
        f.show.SetBarPosition(bar, 3);
        QCOMPARE(gauge->Progress(), 3);
        f.now += 400;
        f.show.SetBarPosition(bar, 10);  // the end passes the step filter
        QCOMPARE(gauge->Progress(), 10);
        f.show.RemoveBar(bar);
    }

    void captionAndHeightFollowTheBars() {
        Fixture f;
        auto first = f.show.AddBar();
        qv::TProgressScreen* window = f.show.Window();
        QCOMPARE(window->height(), 7 + 64 + 37);
        f.show.SetBarTitle(first, "Načítání dat");
        QCOMPARE(window->windowTitle(), QString("Načítání dat"));
        auto second = f.show.AddBar();
        f.show.SetBarTitle(second, "Druhý");
        QCOMPARE(window->height(), 7 + (7 + 64 + 37) + 37);
        QCOMPARE(window->windowTitle(), QString("Načítání dat"));
        f.show.RemoveBar(first);
        QVERIFY(first == nullptr);
        QCOMPARE(window->windowTitle(), QString("Druhý"));
        QCOMPARE(window->height(), 7 + 37 + 64);
        f.show.RemoveBar(second);
        QVERIFY(window->isHidden());
        QCOMPARE(window->windowTitle(), QString("..."));
        auto third = f.show.AddBar();
        QVERIFY(window->isVisible());
        f.show.SetBarTitle(third, "Nový");
        QCOMPARE(window->windowTitle(), QString("Nový"));
        f.show.RemoveBar(third);
    }

    void neverTallerThan400() {
        Fixture f;
        std::vector<qv::ProgressBars::Bar> bars;
        for (int i = 0; i < 15; ++i) {
            bars.push_back(f.show.AddBar());
        }
        QVERIFY(f.show.Window()->height() <= 400);
        for (auto& bar : bars) {
            f.show.RemoveBar(bar);
        }
    }

    void removeWithoutWindowLeavesReference() {
        Fixture f;
        int dummy = 0;
        qv::ProgressBars::Bar bar = &dummy;
        f.show.RemoveBar(bar);
        QVERIFY(bar == &dummy);
        f.show.SetBarPosition(bar, 3);  // no window: nothing happens
    }
};

QTEST_MAIN(ProgressWindowTest)
#include "progress_window_test.moc"
