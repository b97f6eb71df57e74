// Zoom commands against a stand-in preview that computes its own scale in
// the full-page and page-width modes, as the real one does.
#include <QTest>
#include <QToolButton>

#include "app/zoom_controller.h"
#include "container/errors.h"

namespace {

class FakePreview : public qv::ZoomPreview {
  public:
    std::function<void()> onChange;
    int updates = 0;
    int scale = 100;
    int pageWidthScale = 57;
    int fullPageScale = 31;
    qv::ScaleMode mode = qv::ScaleMode::smPageWidth;
    int topRow = 5;
    int selected = -1;
    int cursor = 0;

    void BeginUpdate() override { ++updates; }
    void EndUpdate() override { --updates; }
    // In the fixed modes the scale is computed and kept as the scale.
    int Scale() const override { return scale; }
    void SetScale(int percent) override {
        scale = std::max(1, percent);
        Relayout();
    }
    qv::ScaleMode GetScaleMode() const override { return mode; }
    void SetScaleMode(qv::ScaleMode m) override {
        mode = m;
        Relayout();
    }
    void SetRows(int) override {}
    void SetCols(int) override {}
    void SetTopRow(int row) override { topRow = std::max(0, row); }
    int SelectedPage() const override { return selected; }
    void SetCursorKind(int kind) override { cursor = kind; }

  private:
    void Relayout() {
        if (mode == qv::ScaleMode::smPageWidth) {
            scale = pageWidthScale;
        } else if (mode == qv::ScaleMode::smFullPage) {
            scale = fullPageScale;
        }
        if (onChange) {
            onChange();
        }
    }
};

struct Window {
    FakePreview prev;
    qv::ToggleButtonGroup modes, presets;
    std::vector<std::unique_ptr<QToolButton>> buttons;
    QLineEdit edScale;
    qv::ZoomController zoom{prev, modes, presets, edScale};

    Window() {
        for (int i = 0; i < 12; ++i) {
            buttons.push_back(std::make_unique<QToolButton>());
            (i < 4 ? modes : presets).Add(buttons.back().get());
        }
        QObject::connect(&presets, &qv::ToggleButtonGroup::Clicked,
                         [this](int index) { zoom.SBMeritkoClick(index); });
        QObject::connect(&modes, &qv::ToggleButtonGroup::Clicked, [this](int index) {
            if (index == qv::kSBMeritko) {
                zoom.MerNastav();
            } else if (index == qv::kSpeedButton7) {
                zoom.SpeedButton7Click();
            }
        });
        prev.onChange = [this] { zoom.PrevChange(); };
        zoom.PrevChange();
        zoom.cbScaleModeChange();
    }
    void ToCustom(int percent) {
        edScale.setText(QString::number(percent));
        zoom.BtNastavClick();
    }
};

}  // namespace

class ZoomControllerTest : public QObject {
    Q_OBJECT
  private slots:
    void startsAtPageWidth() {
        Window w;
        QCOMPARE(w.modes.Down(), int(qv::kSbSirka));
        QCOMPARE(w.edScale.text(), QString("57"));
    }

    void zoomInFromPageWidthCountsFromComputedScale() {
        Window w;
        w.zoom.SBZPlusClick();
        QCOMPARE(w.prev.scale, 59);
        QCOMPARE(w.zoom.FViewMode, 2);
        QCOMPARE(w.modes.Down(), int(qv::kSBMeritko));
        QCOMPARE(w.prev.cursor, 1);
        QCOMPARE(w.edScale.text(), QString("59"));
        QCOMPARE(w.prev.topRow, 0);  // no page selected: back to the first row
        QCOMPARE(w.prev.updates, 0);
    }

    void zoomSteps_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("command");  // 0 out button, 1 in button, 2 alt click, 3 click
        QTest::addColumn<int>("expected");
        QTest::newRow("out at 3") << 3 << 0 << 1;
        QTest::newRow("out at 2") << 2 << 0 << 1;
        QTest::newRow("out at 1") << 1 << 0 << 1;
        QTest::newRow("out at 4") << 4 << 0 << 2;
        QTest::newRow("in at 999") << 999 << 1 << 1001;
        QTest::newRow("alt click at 6") << 6 << 2 << 1;
        QTest::newRow("alt click at 7") << 7 << 2 << 2;
        QTest::newRow("click at 100") << 100 << 3 << 105;
    }

    void zoomSteps() {
        QFETCH(int, start);
        QFETCH(int, command);
        QFETCH(int, expected);
        Window w;
        w.ToCustom(start);
        switch (command) {
            case 0:
                w.zoom.SBZMinClick();
                break;
            case 1:
                w.zoom.SBZPlusClick();
                break;
            default:
                w.zoom.PPMouseDown(command == 2);
                break;
        }
        QCOMPARE(w.prev.scale, expected);
        QCOMPARE(w.edScale.text(), QString::number(expected));
        if (command == 2) {
            QCOMPARE(w.prev.cursor, 2);
        }
    }

    void mouseZoomOnlyInCustomWithButtonDown() {
        Window w;
        w.zoom.PPMouseDown(false);  // page width
        QCOMPARE(w.prev.scale, 57);
        w.ToCustom(100);
        w.modes.Button(qv::kSpeedButton7)->click();
        QCOMPARE(w.prev.cursor, 0);
        w.zoom.PPMouseDown(false);
        QCOMPARE(w.prev.scale, 100);
        w.modes.Button(qv::kSbSirka)->click();
        w.zoom.MerSirkaStr();
        w.zoom.PPMouseDown(false);
        QCOMPARE(w.zoom.FCurScale, 57);
    }

    void presetStaysDownUntilZoomIn() {
        Window w;
        w.presets.Button(5)->click();  // 120
        QCOMPARE(w.prev.scale, 120);
        QCOMPARE(w.presets.Down(), 5);
        QCOMPARE(w.modes.Down(), int(qv::kSBMeritko));
        w.presets.Button(5)->click();  // raises it, nothing else
        QCOMPARE(w.presets.Down(), -1);
        QCOMPARE(w.prev.scale, 120);
        w.presets.Button(5)->click();
        w.zoom.SBZPlusClick();
        QCOMPARE(w.prev.scale, 122);
        QCOMPARE(w.presets.Down(), -1);
    }

    void nastavSetsTypedScale() {
        Window w;
        w.presets.Button(2)->click();
        w.ToCustom(250);
        QCOMPARE(w.prev.scale, 250);
        QCOMPARE(w.presets.Down(), -1);
    }

    void customButtonFromPageWidthKeepsComputedScale() {
        Window w;
        w.edScale.setText("300");
        w.modes.Button(qv::kSBMeritko)->click();
        QCOMPARE(w.zoom.FViewMode, 2);
        QCOMPARE(w.edScale.text(), QString("57"));
        QCOMPARE(w.prev.cursor, 1);
        w.edScale.setText("300");
        w.zoom.BtNastavClick();
        QCOMPARE(w.prev.scale, 300);
    }

    void fullPageAndBack() {
        Window w;
        w.ToCustom(80);
        w.zoom.Naceloustrnku1Click();
        QCOMPARE(w.zoom.FViewMode, 0);
        QCOMPARE(w.modes.Down(), int(qv::kSBCela));
        QCOMPARE(w.edScale.text(), QString("31"));
        QCOMPARE(w.prev.cursor, 0);
        w.zoom.Nakustrnky1Click();
        QCOMPARE(w.zoom.FViewMode, 1);
        QCOMPARE(w.edScale.text(), QString("57"));
    }

    void raisingCustomButtonKeepsModeAndEndsMouseZoom() {
        Window w;
        w.ToCustom(80);
        w.modes.Button(qv::kSBMeritko)->click();
        QCOMPARE(w.modes.Down(), -1);
        QCOMPARE(w.zoom.FViewMode, 2);
        QCOMPARE(w.prev.cursor, 0);
    }

    void nonNumberStopsNastavAndEndsUpdate() {
        Window w;
        w.edScale.setText("");
        QVERIFY_THROWS_EXCEPTION(qv::Error, w.zoom.BtNastavClick());
        QCOMPARE(w.prev.updates, 0);
        QCOMPARE(w.zoom.FViewMode, 2);  // the switch had happened
    }
};

QTEST_MAIN(ZoomControllerTest)
#include "zoom_controller_test.moc"
