// TPicture: the class library's holder of one picture of any kind, as a
// TImage shows it. It owns its graphic; Assign and SetGraphic copy.
//
// LoadFromFile picks the kind by the file name's extension, without regard
// to case: ".bmp" a TBitmap, ".jpg" and ".jpeg" a TJPEGImage. Another
// extension raises EInvalidGraphic ("Unknown picture file extension
// (.xyz)"); a file that cannot be opened EFOpenError; a damaged file the
// kind's EInvalidGraphic. After an error the picture holds what it held.
#pragma once

#include <functional>
#include <memory>

class AnsiString;
class TGraphic;

class TPicture {
public:
    TPicture();
    ~TPicture();
    TPicture(const TPicture &) = delete;
    TPicture &operator=(const TPicture &) = delete;

    // The picture held; null while there is none.
    TGraphic *Graphic() const { return FGraphic.get(); }
    // A copy of `Graphic`; null empties the picture.
    void SetGraphic(const TGraphic *Graphic);

    // 0 while empty.
    int Width() const;
    int Height() const;

    // The same picture as `Source` (a copy); null empties it.
    void Assign(const TPicture *Source);
    void LoadFromFile(const AnsiString &FileName);

    // Called after every change of the picture held.
    void SetOnChange(std::function<void()> OnChange) { FOnChange = std::move(OnChange); }

private:
    void Take(std::unique_ptr<TGraphic> Graphic);

    std::unique_ptr<TGraphic> FGraphic;
    std::function<void()> FOnChange;
};
