// TPersistent and TComponent: the roots of the class library's components,
// on QObject. A component has a name and an owner; the owner deletes the
// components it owns (last first) when it is deleted. Properties that a form
// resource may set are Q_PROPERTYs named as the class library names them;
// in code they are methods: Name() / SetName().
#pragma once

#include <vector>

#include <QObject>

#include "AnsiString.h"
#include "ControlTypes.h"
#include "Events.h"

class TPersistent : public QObject {
    Q_OBJECT
public:
    explicit TPersistent(QObject *parent = nullptr);

    // The class's name, as the class library gives it ("TLabel").
    AnsiString ClassName() const;
};

class TComponent : public TPersistent {
    Q_OBJECT
    Q_PROPERTY(AnsiString Name READ Name WRITE SetName)
    Q_PROPERTY(int Tag READ Tag WRITE SetTag)
public:
    explicit TComponent(TComponent *AOwner);
    ~TComponent() override;

    AnsiString Name() const { return FName; }
    void SetName(const AnsiString &Name);
    int Tag() const { return FTag; }
    void SetTag(int Tag) { FTag = Tag; }

    TComponent *Owner() const { return FOwner; }
    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    // The owned components in the order they were made; null out of range.
    TComponent *Components(int Index) const;
    // The owned component of that name (ASCII case ignored), or null.
    TComponent *FindComponent(const AnsiString &Name) const;

    // Run by whoever constructs a component (TApplication::CreateForm for
    // forms) once the constructor of its most derived class has returned,
    // and by Free before the destructors run: a form fires OnCreate and
    // OnDestroy there.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}
    // Marks the component and those it owns as being destroyed, so that
    // they run no more events; then BeforeDestruction, then delete.
    void Free();
    void Destroying();
    bool IsDestroying() const { return FDestroying; }

    // While a form resource sets its properties.
    bool Loading() const { return FLoading; }
    // The form reader marks the components it makes, then calls Loaded()
    // on each once every property of the resource is set.
    void BeginLoading() { FLoading = true; }
    virtual void Loaded() { FLoading = false; }

private:
    void Insert(TComponent *component);
    void Remove(TComponent *component);

    TComponent *FOwner = nullptr;
    std::vector<TComponent *> FComponents;
    AnsiString FName;
    int FTag = 0;
    bool FLoading = false;
    bool FDestroying = false;
};
