#include "Component.h"

#include <algorithm>

#include <QMetaObject>

TPersistent::TPersistent(QObject *parent) : QObject(parent) {}

AnsiString TPersistent::ClassName() const { return AnsiString(metaObject()->className()); }

TComponent::TComponent(TComponent *AOwner) : TPersistent(AOwner), FOwner(AOwner)
{
    if (FOwner)
        FOwner->Insert(this);
}

TComponent::~TComponent()
{
    Destroying();
    while (!FComponents.empty())
        FComponents.back()->Free();
    if (FOwner)
        FOwner->Remove(this);
}

void TComponent::SetName(const AnsiString &Name)
{
    FName = Name;
    setObjectName(QString::fromLatin1(Name.c_str()));
}

TComponent *TComponent::Components(int Index) const
{
    if (Index < 0 || Index >= ComponentCount())
        return nullptr;
    return FComponents[static_cast<size_t>(Index)];
}

TComponent *TComponent::FindComponent(const AnsiString &Name) const
{
    if (Name.IsEmpty())
        return nullptr;
    for (TComponent *component : FComponents)
        if (component->FName.CompareIC(Name) == 0)
            return component;
    return nullptr;
}

void TComponent::Destroying()
{
    if (FDestroying)
        return;
    FDestroying = true;
    for (TComponent *component : FComponents)
        component->Destroying();
}

void TComponent::Free()
{
    Destroying();
    BeforeDestruction();
    delete this;
}

void TComponent::Insert(TComponent *component) { FComponents.push_back(component); }

void TComponent::Remove(TComponent *component)
{
    // Components go from the last one as their owner frees them.
    if (!FComponents.empty() && FComponents.back() == component) {
        FComponents.pop_back();
        return;
    }
    FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component), FComponents.end());
}
