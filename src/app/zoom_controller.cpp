#include "app/zoom_controller.h"

#include "container/errors.h"

namespace qv {
namespace {

// Holds one begin update / end update of the preview, ending it on every path.
class UpdateScope {
  public:
    explicit UpdateScope(ZoomPreview& prev) : prev_(prev) { prev_.BeginUpdate(); }
    ~UpdateScope() { prev_.EndUpdate(); }
    UpdateScope(const UpdateScope&) = delete;
    UpdateScope& operator=(const UpdateScope&) = delete;

  private:
    ZoomPreview& prev_;
};

}  // namespace

void ZoomController::cbScaleModeChange() {
    prev_.SetScaleMode(static_cast<ScaleMode>(FViewMode));
    edScale_.setText(QString::number(prev_.Scale()));
    modes_.SetDown(FViewMode == 0 ? kSBCela : FViewMode == 1 ? kSbSirka : kSBMeritko);
}

void ZoomController::ToFixedMode(ScaleMode mode, int viewMode) {
    if (prev_.GetScaleMode() == mode) {
        return;
    }
    prev_.SetRows(1);
    prev_.SetCols(1);
    prev_.SetScaleMode(mode);
    prev_.SetTopRow(prev_.SelectedPage());
    prev_.SetCursorKind(0);
    edScale_.setText(QString::number(prev_.Scale()));
    FViewMode = viewMode;
    ReleasePresetButtons();
}

void ZoomController::SB() {
    ToFixedMode(ScaleMode::smFullPage, 0);
}

void ZoomController::MerSirkaStr() {
    ToFixedMode(ScaleMode::smPageWidth, 1);
}

void ZoomController::MerNastav() {
    if (!modes_.IsDown(kSBMeritko)) {
        prev_.SetCursorKind(0);
        return;
    }
    prev_.SetScale(ScaleFromEdit());
    WriteBack();
    if (prev_.GetScaleMode() != ScaleMode::smScale) {
        prev_.SetScaleMode(ScaleMode::smScale);
        prev_.SetTopRow(prev_.SelectedPage());
        prev_.SetRows(1);
        prev_.SetCols(1);
        FViewMode = 2;
    }
    prev_.SetCursorKind(1);
}

void ZoomController::SpeedButton7Click() {
    prev_.SetCursorKind(0);
}

void ZoomController::Naceloustrnku1Click() {
    modes_.SetDown(kSBCela);
    SB();
}

void ZoomController::Nakustrnky1Click() {
    modes_.SetDown(kSbSirka);
    MerSirkaStr();
}

void ZoomController::Dlemtka1Click() {
    modes_.SetDown(kSBMeritko);
    MerNastav();
}

void ZoomController::SwitchToCustom() {
    if (modes_.IsDown(kSBMeritko)) {
        return;
    }
    modes_.SetDown(kSBMeritko);
    prev_.SetScaleMode(ScaleMode::smScale);
    prev_.SetCursorKind(1);
    FViewMode = 2;
}

void ZoomController::WriteBack() {
    FCurScale = prev_.Scale();
    edScale_.setText(QString::number(FCurScale));
}

int ZoomController::ScaleFromEdit() const {
    bool ok = false;
    const int value = edScale_.text().toInt(&ok);
    if (!ok) {
        throw Error("'" + edScale_.text().toStdString() + "' is not a valid integer value");
    }
    return value;
}

void ZoomController::SBZPlusClick() {
    UpdateScope scope(prev_);
    prev_.SetTopRow(prev_.SelectedPage());
    SwitchToCustom();
    prev_.SetScale(FCurScale + 2);
    WriteBack();
    ReleasePresetButtons();
}

void ZoomController::SBZMinClick() {
    UpdateScope scope(prev_);
    prev_.SetTopRow(prev_.SelectedPage());
    SwitchToCustom();
    prev_.SetScale(FCurScale < 3 ? 1 : FCurScale - 2);
    WriteBack();
    ReleasePresetButtons();
}

void ZoomController::BtNastavClick() {
    UpdateScope scope(prev_);
    SwitchToCustom();
    prev_.SetTopRow(prev_.SelectedPage());
    prev_.SetScale(ScaleFromEdit());
    WriteBack();
    ReleasePresetButtons();
}

void ZoomController::SBMeritkoClick(int presetIndex) {
    if (!presets_.IsDown(presetIndex)) {
        return;
    }
    UpdateScope scope(prev_);
    const int tag = kPresetTags[presetIndex];
    edScale_.setText(QString::number(tag));
    if (!modes_.IsDown(kSBMeritko)) {
        modes_.SetDown(kSBMeritko);
        prev_.SetScaleMode(ScaleMode::smScale);
        prev_.SetTopRow(prev_.SelectedPage());
        prev_.SetRows(1);
        prev_.SetCols(1);
        prev_.SetCursorKind(1);
        FViewMode = 2;
    }
    prev_.SetScale(tag);
    WriteBack();
    prev_.SetTopRow(prev_.SelectedPage());
}

void ZoomController::PPMouseDown(bool altHeld) {
    if (FViewMode != 2 || !modes_.IsDown(kSBMeritko)) {
        return;
    }
    UpdateScope scope(prev_);
    if (altHeld) {
        prev_.SetCursorKind(2);
        prev_.SetScale(FCurScale < 6 ? 1 : FCurScale - 5);
    } else {
        prev_.SetCursorKind(1);
        prev_.SetScale(FCurScale + 5);
    }
    WriteBack();
    ReleasePresetButtons();
}

}  // namespace qv
