// TControl: the class library's visual control on a Qt widget. Left, Top,
// Width and Height are pixels relative to the parent's client area; a
// control shows inside its Parent (a TWinControl) and is owned by its Owner
// (the form, for controls read from a form resource).
//
// Mouse events follow the class library: OnMouseDown and OnMouseUp for every
// button with the button, the shift state (keys and the buttons held) and
// the position in the control; OnClick on the release of the left button
// that was pressed on the control, inside it, before OnMouseUp; OnMouseEnter
// and OnMouseLeave as the pointer crosses the control's edge, also while a
// button is held. As in the class library, a control hidden (or left while
// a modal window had the pointer) gets no leave at that moment: it gets it
// with the pointer's next move, over another control or another window. An
// exception that a handler raises ends that handler and is shown in the
// application's exception box.
//
// Left, Top, Width, Height and the client size are clamped to the class
// library's pixel bounds (Pixels.h).
//
// Z-order as in the class library: within a parent, controls without a
// window of their own (labels, images, bevels) lie below windowed controls
// (panels, buttons, edits); each group in the order it was made.
#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include "Component.h"
#include "Font.h"

class QPainter;
class TWinControl;

class TControl : public TComponent {
    Q_OBJECT
    Q_CLASSINFO("Pixels", "Left Top Width Height")
    Q_PROPERTY(int Left READ Left WRITE SetLeft)
    Q_PROPERTY(int Top READ Top WRITE SetTop)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(bool Visible READ Visible WRITE SetVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(ClassLibTypes::TCursor Cursor READ Cursor WRITE SetCursor)
    Q_PROPERTY(ClassLibTypes::TAlign Align READ Align WRITE SetAlign)
    Q_PROPERTY(TFont *Font READ Font)
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE SetParentFont)
    Q_PROPERTY(ClassLibTypes::TColor Color READ Color WRITE SetColor)
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE SetParentColor)
    Q_PROPERTY(AnsiString Hint READ Hint WRITE SetHint)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE SetShowHint)
    Q_PROPERTY(TNotifyEvent OnClick READ OnClick WRITE SetOnClick)
    Q_PROPERTY(TNotifyEvent OnDblClick READ OnDblClick WRITE SetOnDblClick)
    Q_PROPERTY(TMouseEvent OnMouseDown READ OnMouseDown WRITE SetOnMouseDown)
    Q_PROPERTY(TMouseEvent OnMouseUp READ OnMouseUp WRITE SetOnMouseUp)
    Q_PROPERTY(TMouseMoveEvent OnMouseMove READ OnMouseMove WRITE SetOnMouseMove)
    Q_PROPERTY(TNotifyEvent OnMouseEnter READ OnMouseEnter WRITE SetOnMouseEnter)
    Q_PROPERTY(TNotifyEvent OnMouseLeave READ OnMouseLeave WRITE SetOnMouseLeave)
public:
    explicit TControl(TComponent *AOwner);
    ~TControl() override;

    TWinControl *Parent() const { return FParent; }
    virtual void SetParent(TWinControl *Parent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Left) { SetBounds(Left, FTop, FWidth, FHeight); }
    void SetTop(int Top) { SetBounds(FLeft, Top, FWidth, FHeight); }
    void SetWidth(int Width) { SetBounds(FLeft, FTop, Width, FHeight); }
    void SetHeight(int Height) { SetBounds(FLeft, FTop, FWidth, Height); }
    virtual void SetBounds(int Left, int Top, int Width, int Height);
    QRect BoundsRect() const { return QRect(FLeft, FTop, FWidth, FHeight); }
    // The area inside the control's own border, from 0, 0.
    virtual int ClientWidth() const { return FWidth; }
    virtual int ClientHeight() const { return FHeight; }
    void SetClientWidth(int Width);
    void SetClientHeight(int Height);
    QRect ClientRect() const { return QRect(0, 0, ClientWidth(), ClientHeight()); }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible, and so are all its parents.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Enabled);
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Cursor);
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Align);
    AnsiString Hint() const { return FHint; }
    void SetHint(const AnsiString &Hint) { FHint = Hint; }
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool ShowHint) { FShowHint = ShowHint; }

    // The text: a label's or button's caption, an edit's text.
    AnsiString Caption() const { return GetText(); }
    void SetCaption(const AnsiString &Caption) { SetText(Caption); }
    AnsiString Text() const { return GetText(); }
    virtual AnsiString GetText() const { return FText; }
    virtual void SetText(const AnsiString &Text);

    TFont *Font() const { return FFont; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool ParentFont);
    TColor Color() const { return FColor; }
    void SetColor(TColor Color);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool ParentColor);

    void BringToFront();
    void SendToBack();
    // Repaints the control.
    void Invalidate();
    void Repaint() { Invalidate(); }
    void Refresh() { Invalidate(); }
    void Update() { Invalidate(); }

    // Runs OnClick, as a click does.
    virtual void Click();

    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(const TNotifyEvent &Event) { FOnClick = Event; }
    TNotifyEvent OnDblClick() const { return FOnDblClick; }
    void SetOnDblClick(const TNotifyEvent &Event) { FOnDblClick = Event; }
    TMouseEvent OnMouseDown() const { return FOnMouseDown; }
    void SetOnMouseDown(const TMouseEvent &Event) { FOnMouseDown = Event; }
    TMouseEvent OnMouseUp() const { return FOnMouseUp; }
    void SetOnMouseUp(const TMouseEvent &Event) { FOnMouseUp = Event; }
    TMouseMoveEvent OnMouseMove() const { return FOnMouseMove; }
    void SetOnMouseMove(const TMouseMoveEvent &Event) { FOnMouseMove = Event; }
    TNotifyEvent OnMouseEnter() const { return FOnMouseEnter; }
    void SetOnMouseEnter(const TNotifyEvent &Event) { FOnMouseEnter = Event; }
    TNotifyEvent OnMouseLeave() const { return FOnMouseLeave; }
    void SetOnMouseLeave(const TNotifyEvent &Event) { FOnMouseLeave = Event; }

    // The Qt widget that shows the control; tests and the form pilot use it.
    QWidget *Widget() const { return FWidget; }
    // Draws the control; controls on a plain control widget override it.
    virtual void Paint(QPainter &painter);
    // Whether the control has a window of its own (for the z-order).
    virtual bool IsWindowed() const { return false; }

    void Loaded() override;

protected:
    // Subclasses give the control its widget in their constructor.
    void SetWidget(QWidget *widget);
    // Where the widget lies; forms place their windows themselves.
    virtual void UpdateWidgetGeometry();
    // Hooks for what a subclass shows.
    virtual void TextChanged() {}
    virtual void FontChanged();
    virtual void ColorChanged();
    virtual void BoundsChanged() {}
    virtual void VisibleChanged() {}
    // Whether a left-button release runs Click(); buttons click themselves.
    virtual bool ClicksOnMouseUp() const { return true; }
    // Called when the parent's font or colour changes, for ParentFont and
    // ParentColor.
    virtual void ParentFontChanged();
    virtual void ParentColorChanged();
    // Runs a handler the way the class library runs message handlers: an
    // exception is shown in the application's exception box.
    static void Guarded(const std::function<void()> &call);
    // Runs an event of this control guarded. The event is a copy, so a
    // handler may rebind the event it runs from.
    void Fire(TNotifyEvent event) { Guarded([&] { event(this); }); }
    // Fire, but not while the control is being destroyed: widgets signal
    // changes as they are torn down.
    void FireUnlessDestroying(TNotifyEvent event)
    {
        if (!IsDestroying())
            Fire(event);
    }
    // Sets one colour role of the widget's palette, e.g. the text area of an
    // edit box to the control's colour.
    void SetPaletteColor(QPalette::ColorRole role, TColor color);

    bool eventFilter(QObject *watched, QEvent *event) override;

    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;

private:
    void SetMouseInside(bool inside);
    // The pointer moved to `global` over `receiver`: the controls that had
    // it (or only those hidden under it) and that it is no longer over get
    // their leave.
    static void PointerMoved(QWidget *receiver, const QPointF &global, bool heldOnly);
    bool PointerOver(QWidget *receiver, const QPointF &global) const;
    void OnFontChange();

    TWinControl *FParent = nullptr;
    QPointer<QWidget> FWidget;
    TFont *FFont;
    bool FParentFont = true;
    bool FSettingParentFont = false;
    TColor FColor = clWindow;
    bool FParentColor = true;
    bool FVisible = true;
    bool FEnabled = true;
    TCursor FCursor = crDefault;
    TAlign FAlign = alNone;
    AnsiString FHint;
    bool FShowHint = false;
    AnsiString FText;
    bool FMouseInside = false;
    bool FClicked = false;
    // Whether the parent counts the control among its windowed children;
    // kept, since a control being destroyed no longer knows its class.
    bool FCountedWindowed = false;

    TNotifyEvent FOnClick;
    TNotifyEvent FOnDblClick;
    TMouseEvent FOnMouseDown;
    TMouseEvent FOnMouseUp;
    TMouseMoveEvent FOnMouseMove;
    TNotifyEvent FOnMouseEnter;
    TNotifyEvent FOnMouseLeave;

    friend class TWinControl;
};

// A control without a window of its own: labels, images, bevels. It draws on
// a plain control widget through Paint().
class TGraphicControl : public TControl {
    Q_OBJECT
public:
    explicit TGraphicControl(TComponent *AOwner);
};
