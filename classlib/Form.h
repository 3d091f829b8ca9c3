// TForm: the class library's form, a top-level window built from its form
// resource. A form class of a program derives from it, names its resource
// and declares its components and handlers (see FORMS.md):
//
//   class TMainForm : public TForm {
//       Q_OBJECT
//   public:
//       explicit TMainForm(TComponent *Owner)
//           : TForm(Owner, &staticMetaObject, ":/scanner/Main_form.dfm") {}
//       TBitBtn *CloseBut = Component<TBitBtn>("CloseBut");
//       Q_INVOKABLE void CloseButClick(TObject *Sender);
//   };
//
// The resource is read by the TForm constructor; the component fields are
// bound right after, as the derived class's members are initialised; the
// handlers are the form class's invokable methods. OnCreate runs in
// AfterConstruction, after the most derived constructor: CreateForm runs it,
// and code that makes a form with new calls AfterConstruction() itself.
// Forms are destroyed by their owner or with Free(), which runs OnDestroy
// first.
//
// Sizes: Left, Top, Width and Height are the window's outer frame, as the
// class library gives them; ClientWidth and ClientHeight the area inside.
// The frame is that of Windows' classic look (a single border adds 3 pixels
// each side and a 19-pixel caption, a tool window a 16-pixel one, bsNone
// nothing); the window system draws its own frame around the client area.
//
// Close: a modal form ends ShowModal with mrCancel; otherwise OnCloseQuery
// and OnClose decide, the main form's closing ends the application, other
// forms hide. Closing the window from its frame does the same.
#pragma once

#include <QString>

#include "Exceptions.h"
#include "ModalResult.h"
#include "WinControl.h"

class QEventLoop;

class TForm : public TWinControl {
    Q_OBJECT
    Q_CLASSINFO("Pixels", "ClientWidth ClientHeight")
    Q_PROPERTY(AnsiString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(int ClientWidth READ ClientWidth WRITE SetClientWidth)
    Q_PROPERTY(int ClientHeight READ ClientHeight WRITE SetClientHeight)
    Q_PROPERTY(ClassLibTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TBorderIcons BorderIcons READ BorderIcons WRITE SetBorderIcons)
    Q_PROPERTY(ClassLibTypes::TPosition Position READ Position WRITE SetPosition)
    Q_PROPERTY(bool Scaled READ Scaled WRITE SetScaled)
    Q_PROPERTY(int PixelsPerInch READ PixelsPerInch WRITE SetPixelsPerInch)
    Q_PROPERTY(int TextHeight READ TextHeight WRITE SetTextHeight)
    Q_PROPERTY(bool OldCreateOrder READ OldCreateOrder WRITE SetOldCreateOrder)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    Q_PROPERTY(TNotifyEvent OnCreate READ OnCreate WRITE SetOnCreate)
    Q_PROPERTY(TNotifyEvent OnDestroy READ OnDestroy WRITE SetOnDestroy)
    Q_PROPERTY(TNotifyEvent OnShow READ OnShow WRITE SetOnShow)
    Q_PROPERTY(TNotifyEvent OnHide READ OnHide WRITE SetOnHide)
    Q_PROPERTY(TCloseEvent OnClose READ OnClose WRITE SetOnClose)
    Q_PROPERTY(TCloseQueryEvent OnCloseQuery READ OnCloseQuery WRITE SetOnCloseQuery)
public:
    // An empty form, without a resource.
    explicit TForm(TComponent *AOwner);
    // A form built from its resource (a Qt resource path or a file);
    // `FormClass` is the derived class's &staticMetaObject, whose methods
    // are the handlers.
    TForm(TComponent *AOwner, const QMetaObject *FormClass, const QString &Resource);
    ~TForm() override;

    // The component of that name made from the resource, as the derived
    // class's field: raises EReadError when the resource has none of that
    // name and class.
    template <class T>
    T *Component(const char *Name)
    {
        T *found = qobject_cast<T *>(FindComponent(Name));
        if (!found)
            MissingComponent(Name, T::staticMetaObject.className());
        return found;
    }

    void AfterConstruction() override;
    void BeforeDestruction() override;

    void SetVisible(bool Visible) override;
    // Shows the form and brings it to the front.
    void Show();
    void Hide() { SetVisible(false); }
    // Shows the form modally and returns its ModalResult once that is set
    // (by a button's ModalResult, SetModalResult or Close).
    int ShowModal();
    void Close();
    // OnCloseQuery's answer: whether the form may close.
    virtual bool CloseQuery();
    // Destroys the form once the events being handled are done.
    void Release();

    int ModalResult() const { return FModalResult; }
    void SetModalResult(int ModalResult);
    bool Modal() const { return FModalLoop != nullptr; }
    // Ends a modal loop at once with mrCancel (the application's end).
    void EndModalLoop();

    int ClientWidth() const override;
    int ClientHeight() const override;
    void SetClientWidth(int Width) { TControl::SetClientWidth(Width); }
    void SetClientHeight(int Height) { TControl::SetClientHeight(Height); }

    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle BorderStyle);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons BorderIcons);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Position) { FPosition = Position; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool Scaled) { FScaled = Scaled; }
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int PixelsPerInch) { FPixelsPerInch = PixelsPerInch; }
    int TextHeight() const { return FTextHeight; }
    void SetTextHeight(int TextHeight) { FTextHeight = TextHeight; }
    bool OldCreateOrder() const { return FOldCreateOrder; }
    void SetOldCreateOrder(bool OldCreateOrder) { FOldCreateOrder = OldCreateOrder; }

    TNotifyEvent OnCreate() const { return FOnCreate; }
    void SetOnCreate(const TNotifyEvent &Event) { FOnCreate = Event; }
    TNotifyEvent OnDestroy() const { return FOnDestroy; }
    void SetOnDestroy(const TNotifyEvent &Event) { FOnDestroy = Event; }
    TNotifyEvent OnShow() const { return FOnShow; }
    void SetOnShow(const TNotifyEvent &Event) { FOnShow = Event; }
    TNotifyEvent OnHide() const { return FOnHide; }
    void SetOnHide(const TNotifyEvent &Event) { FOnHide = Event; }
    TCloseEvent OnClose() const { return FOnClose; }
    void SetOnClose(const TCloseEvent &Event) { FOnClose = Event; }
    TCloseQueryEvent OnCloseQuery() const { return FOnCloseQuery; }
    void SetOnCloseQuery(const TCloseQueryEvent &Event) { FOnCloseQuery = Event; }

    void Paint(QPainter &painter) override;

    // The frame around the client area for a border style: left, top, right,
    // bottom.
    static QMargins FrameOf(TFormBorderStyle BorderStyle);

    // Enter presses the focused button, else the default button; Escape
    // the cancel button. True when a button took the key.
    bool DialogKey(int Key);

    // The window was resized or moved by the window system.
    void WindowResized(int ClientWidth, int ClientHeight);
    void WindowMoved(int Left, int Top);

protected:
    void UpdateWidgetGeometry() override;
    void TextChanged() override;

private:
    [[noreturn]] void MissingComponent(const char *name, const char *className) const;
    void ApplyWindowFlags();
    void PlaceOnScreen();
    bool Sizeable() const { return FBorderStyle == bsSizeable || FBorderStyle == bsSizeToolWin; }

    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = TBorderIcons() << biSystemMenu << biMinimize << biMaximize;
    TPosition FPosition = poDesigned;
    bool FScaled = true;
    int FPixelsPerInch = 96;
    int FTextHeight = 13;
    bool FOldCreateOrder = false;
    bool FShowWhenCreated = false;
    bool FCreated = false;
    int FModalResult = mrNone;
    QEventLoop *FModalLoop = nullptr;
    AnsiString FResourceName;

    TNotifyEvent FOnCreate;
    TNotifyEvent FOnDestroy;
    TNotifyEvent FOnShow;
    TNotifyEvent FOnHide;
    TCloseEvent FOnClose;
    TCloseQueryEvent FOnCloseQuery;
};

// The form a control lies on, or null.
TForm *GetParentForm(TControl *Control);
