// TProgressBar: a bar that fills from Min to Max as Position grows.
#pragma once

#include "WinControl.h"

class TProgressBar : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE SetMin)
    Q_PROPERTY(int Max READ Max WRITE SetMax)
    Q_PROPERTY(int Position READ Position WRITE SetPosition)
    Q_PROPERTY(int Step READ Step WRITE SetStep)
    Q_PROPERTY(bool Smooth READ Smooth WRITE SetSmooth)
public:
    explicit TProgressBar(TComponent *AOwner);

    int Min() const { return FMin; }
    void SetMin(int Min);
    int Max() const { return FMax; }
    void SetMax(int Max);
    // Kept within Min .. Max.
    int Position() const { return FPosition; }
    void SetPosition(int Position);
    int Step() const { return FStep; }
    void SetStep(int Step) { FStep = Step; }
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Smooth) { FSmooth = Smooth; }

    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int Delta) { SetPosition(FPosition + Delta); }

private:
    void UpdateBar();

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
    bool FSmooth = false;
};
