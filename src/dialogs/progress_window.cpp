#include "dialogs/progress_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/ui_fonts.h"

namespace qv {
namespace {

const QString kNoTitle = QStringLiteral("...");
const QColor kLightYellow(255, 255, 202);  // the strip's and the rows' colour
constexpr int kRowHeight = 37;
constexpr int kBaseHeight = 64;  // the strip and the frame around the rows
constexpr int kMaxHeight = 400;
constexpr qint64 kDrawInterval = 300;

void FillBackground(QWidget* widget, const QColor& color) {
    widget->setAutoFillBackground(true);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    widget->setPalette(palette);
}

}  // namespace

// ---- TGauge ----

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, true));
}

void TGauge::SetMinValue(int value) {
    min_ = value;
    max_ = std::max(max_, min_);
    progress_ = std::clamp(progress_, min_, max_);
    update();
}

void TGauge::SetMaxValue(int value) {
    max_ = value;
    min_ = std::min(min_, max_);
    progress_ = std::clamp(progress_, min_, max_);
    update();
}

void TGauge::AddProgress(int amount) {
    progress_ = std::clamp(progress_ + amount, min_, max_);
    update();
}

int TGauge::PercentDone() const {
    if (max_ == min_) {
        return 0;
    }
    return int((qint64(progress_) - min_) * 100 / (qint64(max_) - min_));
}

QString TGauge::Text() const {
    return QString::asprintf("%d%%", PercentDone());
}

void TGauge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(area, Qt::white);
    QRect filled = area;
    filled.setWidth(area.width() * PercentDone() / 100);
    painter.fillRect(filled, Qt::blue);
    painter.setPen(Qt::black);
    painter.drawRect(area);
    painter.drawText(area, Qt::AlignCenter, Text());
}

// ---- TProgresPanel ----

TProgresPanel::TProgresPanel(QWidget* parent) : QFrame(parent) {
    setFixedHeight(kRowHeight);
    resize(435, kRowHeight);
    FillBackground(this, kLightYellow);
    LBNazev = new QLabel(QStringLiteral("Nazev"), this);
    LBNazev->setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, true));
    LBNazev->move(4, 0);
    LBNazev->resize(260, 15);
    GProgLista = new TGauge(this);
    GProgLista->setGeometry(8, 16, 265, 17);
    GProgLista->SetMaxValue(1);
    hide();
}

// ---- TProgressScreen ----

TProgressScreen::TProgressScreen(int captionAllowance, Clock clock)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint),
      allowance_(captionAllowance),
      clock_(std::move(clock)) {
    setWindowTitle(kNoTitle);
    setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11));
    setMaximumHeight(kMaxHeight);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->setSizeConstraint(QLayout::SetNoConstraint);
    Panel1 = new QFrame(this);
    Panel1->setFixedHeight(28);
    FillBackground(Panel1, kLightYellow);
    BtZrus = new QPushButton(QStringLiteral("Zrušit"), Panel1);
    BtZrus->setGeometry(104, 3, 73, 23);
    BtZrus->hide();
    connect(BtZrus, &QPushButton::clicked, this, &TProgressScreen::BtStopClick);
    rows->addWidget(Panel1);
    rows->addStretch(1);
    resize(290, kBaseHeight);
}

TProgressScreen::~TProgressScreen() = default;

void TProgressScreen::FormName(const QString& text) {
    if (windowTitle() == kNoTitle || captionReleased_) {
        setWindowTitle(text);
    }
}

TProgresPanel* TProgressScreen::PridejBar() {
    stop_ = false;
    auto* bar = new TProgresPanel(this);
    current_ = bar;
    resize(width(), std::min(kMaxHeight, allowance_ + height() + kRowHeight));
    bars_.push_back(bar);
    auto* rows = static_cast<QVBoxLayout*>(layout());
    rows->insertWidget(rows->count() - 1, bar);
    FormName(bar->name);
    show();
    bar->show();
    return bar;
}

void TProgressScreen::UberBar(TProgresPanel*& bar) {
    QString removedName;
    if (bar != nullptr) {
        removedName = bar->name;
        const auto it = std::find(bars_.begin(), bars_.end(), bar);
        if (it != bars_.end()) {
            bars_.erase(it);
        }
        if (current_ == bar) {
            current_ = bars_.empty() ? nullptr : bars_.back();
        }
        delete bar;
        bar = nullptr;
    }
    if (bars_.empty()) {
        setWindowTitle(kNoTitle);
        captionReleased_ = true;
        hide();
        resize(width(), allowance_ + kRowHeight);
        return;
    }
    if (removedName == windowTitle()) {
        setWindowTitle(bars_.back()->name);
    }
    resize(width(),
           std::min(kMaxHeight, allowance_ + kRowHeight * int(bars_.size()) + kBaseHeight));
}

void TProgressScreen::SetMinMax(TProgresPanel* bar, int minimum, int maximum) {
    if (minimum == maximum) {
        minimum = maximum - 3;
    }
    if (minimum > maximum) {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                        QStringLiteral("Chybně zadané Min Max"), QMessageBox::Ok, this);
        box.exec();
        return;
    }
    bar->offset = minimum > 0 ? minimum : 0;
    bar->GProgLista->SetMinValue(minimum - bar->offset);
    bar->GProgLista->SetMaxValue(maximum - bar->offset);
}

void TProgressScreen::SetProgName(TProgresPanel* bar, const QString& text) {
    bar->LBNazev->setText(text);
}

void TProgressScreen::SetStepSize(TProgresPanel* bar, int stepSize) {
    bar->stepSize = stepSize;
}

void TProgressScreen::SetProgres(TProgresPanel* bar, int position) {
    TGauge* gauge = bar->GProgLista;
    if (bar->stepSize >= 0) {
        ++bar->stepCounter;
        if (bar->stepCounter >= bar->stepSize || position >= gauge->MaxValue()) {
            bar->stepCounter = 0;
        } else {
            return;
        }
    }
    const qint64 now = clock_();
    if (bar->lastDrawn >= 0 && now - bar->lastDrawn <= kDrawInterval) {
        return;
    }
    if (position > gauge->MaxValue() + bar->offset || position < gauge->MinValue() + bar->offset) {
        return;
    }
    const int shown = position - bar->offset;
    gauge->AddProgress(shown - bar->shownPosition);
    bar->shownPosition = shown;
    gauge->repaint();
    bar->lastDrawn = now;
    FormName(bar->name);
    bar->repaint();
}

void TProgressScreen::ZobrTlac(bool show) {
    BtZrus->setVisible(show);
}

void TProgressScreen::closeEvent(QCloseEvent* event) {
    stop_ = true;
    hide();
    event->ignore();
}

// ---- TShowObject ----

TShowObject::TShowObject(int captionHeight, TProgressScreen::Clock clock)
    : captionHeight_(captionHeight), clock_(std::move(clock)) {
    if (captionHeight_ < 0) {
        captionHeight_ = std::max(0, QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
    }
    if (!clock_) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        clock_ = [timer] { return timer->elapsed(); };
    }
}

TShowObject::~TShowObject() = default;

int TShowObject::CaptionAllowance() const {
    return captionHeight_ > 23 ? captionHeight_ - 23 : 0;
}

ProgressBars::Bar TShowObject::AddBar() {
    if (!window_) {
        window_ = std::make_unique<TProgressScreen>(CaptionAllowance(), clock_);
    }
    TProgresPanel* bar = window_->PridejBar();
    if (window_->isVisible()) {
        window_->raise();
    }
    return bar;
}

void TShowObject::SetBarTitle(Bar bar, const std::string& text) {
    if (!window_ || bar == nullptr) {
        return;
    }
    const QString title = MessageText(text);
    window_->FormNameS(title);
    static_cast<TProgresPanel*>(bar)->name = title;
}

void TShowObject::SetBarText(Bar bar, const std::string& text) {
    if (window_ && bar != nullptr) {
        window_->SetProgName(static_cast<TProgresPanel*>(bar), MessageText(text));
    }
}

void TShowObject::SetBarRange(Bar bar, int minimum, int maximum) {
    if (window_ && bar != nullptr) {
        window_->SetMinMax(static_cast<TProgresPanel*>(bar), minimum, maximum);
    }
}

void TShowObject::SetBarPosition(Bar bar, int position) {
    if (window_ && bar != nullptr) {
        window_->SetProgres(static_cast<TProgresPanel*>(bar), position);
    }
}

void TShowObject::RemoveBar(Bar& bar) {
    if (!window_) {
        return;
    }
    if (bar != nullptr) {
        auto* panel = static_cast<TProgresPanel*>(bar);
        window_->UberBar(panel);
    }
    bar = nullptr;
}

}  // namespace qv
