#include "ClassRegistry.h"

#include <map>
#include <mutex>
#include <set>
#include <string>

namespace {

struct Tables {
    std::mutex lock;
    std::map<std::string, TRegisteredClass> classes;
    std::map<int, TSetType> sets;
    std::map<int, TEventType> events;
    std::set<int> numericEnums;
};

Tables &TheTables()
{
    static Tables *tables = new Tables; // lives as long as the process
    return *tables;
}

} // namespace

void RegisterClass(const QMetaObject &meta, TComponentFactory make)
{
    Tables &tables = TheTables();
    std::lock_guard<std::mutex> hold(tables.lock);
    tables.classes[meta.className()] = TRegisteredClass{&meta, make};
}

const TRegisteredClass *GetClass(const QByteArray &name)
{
    Tables &tables = TheTables();
    std::lock_guard<std::mutex> hold(tables.lock);
    auto found = tables.classes.find(name.toStdString());
    return found == tables.classes.end() ? nullptr : &found->second;
}

void RegisterSetType(QMetaType type, const TSetType &setType)
{
    Tables &tables = TheTables();
    std::lock_guard<std::mutex> hold(tables.lock);
    tables.sets[type.id()] = setType;
}

const TSetType *FindSetType(QMetaType type)
{
    Tables &tables = TheTables();
    std::lock_guard<std::mutex> hold(tables.lock);
    auto found = tables.sets.find(type.id());
    return found == tables.sets.end() ? nullptr : &found->second;
}

void RegisterEventType(QMetaType type, const TEventType &eventType)
{
    Tables &tables = TheTables();
    std::lock_guard<std::mutex> hold(tables.lock);
    tables.events[type.id()] = eventType;
}

const TEventType *FindEventType(QMetaType type)
{
    Tables &tables = TheTables();
    std::lock_guard<std::mutex> hold(tables.lock);
    auto found = tables.events.find(type.id());
    return found == tables.events.end() ? nullptr : &found->second;
}

void RegisterNumericEnum(QMetaType type)
{
    Tables &tables = TheTables();
    std::lock_guard<std::mutex> hold(tables.lock);
    tables.numericEnums.insert(type.id());
}

bool IsNumericEnum(QMetaType type)
{
    Tables &tables = TheTables();
    std::lock_guard<std::mutex> hold(tables.lock);
    return tables.numericEnums.count(type.id()) != 0;
}
