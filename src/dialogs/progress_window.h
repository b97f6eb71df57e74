#pragma once

#include <QFrame>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "container/inner_file_set.h"

class QLabel;
class QPushButton;

namespace qv {

// A horizontal bar on a white ground, filled in proportion to its progress,
// with the percentage done printed in its middle.
class TGauge : public QWidget {
    Q_OBJECT
  public:
    explicit TGauge(QWidget* parent = nullptr);
    int MinValue() const { return min_; }
    int MaxValue() const { return max_; }
    int Progress() const { return progress_; }
    void SetMinValue(int value);
    void SetMaxValue(int value);
    // Moves the progress by amount, kept inside the range.
    void AddProgress(int amount);
    // (progress - minimum) * 100 / (maximum - minimum), 0 for an empty range.
    int PercentDone() const;
    QString Text() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    int min_ = 0;
    int max_ = 1;
    int progress_ = 0;
};

// One named bar of the progress window.
class TProgresPanel : public QFrame {
    Q_OBJECT
  public:
    explicit TProgresPanel(QWidget* parent = nullptr);

    QLabel* LBNazev;
    TGauge* GProgLista;
    QString name = QStringLiteral("...");
    int shownPosition = 0;
    int stepSize = 1;
    int offset = 0;
    int stepCounter = 0;
    qint64 lastDrawn = -1;  // milliseconds of the clock; -1: never drawn
};

// The small non-modal window with one row per bar.
class TProgressScreen : public QWidget {
    Q_OBJECT
  public:
    using Clock = std::function<qint64()>;  // milliseconds, monotonic
    TProgressScreen(int captionAllowance, Clock clock);
    ~TProgressScreen() override;

    TProgresPanel* PridejBar();
    void UberBar(TProgresPanel*& bar);
    void SetMinMax(TProgresPanel* bar, int minimum, int maximum);
    void SetProgName(TProgresPanel* bar, const QString& text);
    void SetProgres(TProgresPanel* bar, int position);
    void SetStepSize(TProgresPanel* bar, int stepSize);
    void FormName(const QString& text);
    void FormNameS(const QString& text) { FormName(text); }
    void ZobrTlac(bool show);
    void BtStopClick() { stop_ = true; }

    int BarCount() const { return int(bars_.size()); }
    TProgresPanel* Bar(int index) const { return bars_.at(size_t(index)); }
    bool Stopped() const { return stop_; }
    bool CaptionReleased() const { return captionReleased_; }

    QFrame* Panel1;
    QPushButton* BtZrus;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    int allowance_;
    Clock clock_;
    bool stop_ = false;
    bool captionReleased_ = false;
    TProgresPanel* current_ = nullptr;
    std::vector<TProgresPanel*> bars_;  // children of the window, in the order added
};

// The application's access to the progress window: creates the window on
// first use and forwards each caller's bar operations to it.
class TShowObject : public ProgressBars {
  public:
    // captionHeight: the platform's title-bar height; negative reads it from
    // the style. clock: empty uses a monotonic clock.
    explicit TShowObject(int captionHeight = -1, TProgressScreen::Clock clock = {});
    ~TShowObject() override;

    Bar AddBar() override;
    void SetBarTitle(Bar bar, const std::string& text) override;
    void SetBarText(Bar bar, const std::string& text) override;
    void SetBarRange(Bar bar, int minimum, int maximum) override;
    void SetBarPosition(Bar bar, int position) override;
    void RemoveBar(Bar& bar) override;

    TProgressScreen* Window() const { return window_.get(); }
    // Caption height - 23 when the caption is taller than 23, else 0.
    int CaptionAllowance() const;

  private:
    int captionHeight_;
    TProgressScreen::Clock clock_;
    std::unique_ptr<TProgressScreen> window_;
};

}  // namespace qv
