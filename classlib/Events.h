// The class library's events: a handler bound to an object, as the class
// library's closures are. A form binds its components' events to its
// published methods, by name when the form resource is read, or in code:
//
//   LChap1->SetOnMouseEnter(TNotifyEvent(this, &TForm2::LChap1MouseEnter));
//   LChap1->SetOnMouseEnter(nullptr);   // unbound
//
// Calling an unbound event does nothing.
#pragma once

#include <cstddef>
#include <functional>

#include <QMetaType>

#include "AnsiString.h"
#include "ControlTypes.h"

class QObject;
typedef QObject TObject;

template <typename... Args>
class TEvent {
public:
    TEvent() = default;
    TEvent(std::nullptr_t) {}
    template <class C>
    TEvent(C *object, void (C::*method)(Args...))
        : FCall([object, method](Args... args) { (object->*method)(std::forward<Args>(args)...); }),
          FObject(object)
    {
    }
    // Any call; `object` and `name` say what it is bound to.
    TEvent(std::function<void(Args...)> call, QObject *object, const AnsiString &name)
        : FCall(std::move(call)), FObject(object), FName(name)
    {
    }

    bool Assigned() const { return static_cast<bool>(FCall); }
    explicit operator bool() const { return Assigned(); }
    void operator()(Args... args) const
    {
        if (FCall)
            FCall(std::forward<Args>(args)...);
    }

    // The object the handler belongs to, and the handler's name when it was
    // bound by name (from a form resource); empty otherwise.
    QObject *Object() const { return FObject; }
    AnsiString MethodName() const { return FName; }

private:
    std::function<void(Args...)> FCall;
    QObject *FObject = nullptr;
    AnsiString FName;
};

typedef TEvent<TObject *> TNotifyEvent;
typedef TEvent<TObject *, TMouseButton, TShiftState, int, int> TMouseEvent;
typedef TEvent<TObject *, TShiftState, int, int> TMouseMoveEvent;
typedef TEvent<TObject *, TCloseAction &> TCloseEvent;
typedef TEvent<TObject *, bool &> TCloseQueryEvent;

Q_DECLARE_METATYPE(TNotifyEvent)
Q_DECLARE_METATYPE(TMouseEvent)
Q_DECLARE_METATYPE(TMouseMoveEvent)
Q_DECLARE_METATYPE(TCloseEvent)
Q_DECLARE_METATYPE(TCloseQueryEvent)
