// The classes a form resource may name, and the property types the form
// reader must know beyond Qt's own: sets, events and enumerations that
// also take numbers.
//
// Registration is explicit (no static initialisers, which a static library
// may drop): RegisterStandardClasses() registers the class library's own
// components and types, and TApplication::Initialize() and the form reader
// call it. A unit that adds component classes offers a function that
// registers them and the program calls it before it creates its forms:
//
//   void RegisterImageClasses() { RegisterClass<TImage>(); }
//   ...
//   Application->Initialize();
//   RegisterImageClasses();
//   Application->CreateForm(&MainForm);
//
// Registering a class again replaces it. Thread-safe.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QMetaEnum>
#include <QMetaObject>
#include <QMetaType>
#include <QVariant>

#include "Component.h"

typedef TComponent *(*TComponentFactory)(TComponent *Owner);

struct TRegisteredClass {
    const QMetaObject *Meta;
    TComponentFactory Make;
};

void RegisterClass(const QMetaObject &meta, TComponentFactory make);
template <class T>
void RegisterClass()
{
    RegisterClass(T::staticMetaObject, [](TComponent *Owner) -> TComponent * { return new T(Owner); });
}
// The class of that name ("TLabel"), or null.
const TRegisteredClass *GetClass(const QByteArray &name);

// A set property's type (TSet<E>): its elements and how to make a value.
struct TSetType {
    QMetaEnum Elements;
    QVariant (*Make)(uint32_t bits);
};
void RegisterSetType(QMetaType type, const TSetType &setType);
template <class E>
void RegisterSetType()
{
    RegisterSetType(QMetaType::fromType<TSet<E>>(),
                    TSetType{QMetaEnum::fromType<E>(),
                             [](uint32_t bits) { return QVariant::fromValue(TSet<E>::FromInt(bits)); }});
}
const TSetType *FindSetType(QMetaType type);

// An event property's type (TEvent<Args...>): the handler's parameter types
// as a form class declares them ("TObject*", "TMouseButton", "int",
// "TCloseAction&") and how to bind a handler, a method of `target` by its
// meta-object index.
struct TEventType {
    std::vector<QByteArray> Parameters;
    QVariant (*Bind)(QObject *target, int methodIndex, const AnsiString &name);
};
void RegisterEventType(QMetaType type, const TEventType &eventType);
template <typename... Args>
void RegisterEventType(std::initializer_list<const char *> parameters)
{
    TEventType eventType;
    for (const char *parameter : parameters)
        eventType.Parameters.push_back(QMetaObject::normalizedType(parameter));
    eventType.Bind = [](QObject *target, int methodIndex, const AnsiString &name) {
        TEvent<Args...> event(
            [target, methodIndex](Args... args) {
                void *argv[] = {nullptr, const_cast<void *>(static_cast<const void *>(std::addressof(args)))...};
                QMetaObject::metacall(target, QMetaObject::InvokeMetaMethod, methodIndex, argv);
            },
            target, name);
        return QVariant::fromValue(event);
    };
    RegisterEventType(QMetaType::fromType<TEvent<Args...>>(), eventType);
}
const TEventType *FindEventType(QMetaType type);

// Enumerations whose properties also take a number (colours, cursors,
// character sets): "Font.Color = 8866311" as well as "Color = clWhite".
void RegisterNumericEnum(QMetaType type);
bool IsNumericEnum(QMetaType type);

// The class library's own components, sets, events and enumerations.
void RegisterStandardClasses();
