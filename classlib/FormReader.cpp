#include "FormReader.h"

#include <unordered_set>

#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QMetaProperty>

#include "AnsiText.h"
#include "ClassRegistry.h"
#include "Component.h"
#include "Control.h"
#include "Exceptions.h"
#include "FormText.h"
#include "Pixels.h"
#include "StringList.h"
#include "WinControl.h"

namespace {

// The folder of the resource being read, for FormFilePath.
thread_local QString tResourceFolder;
thread_local bool tReading = false;

QByteArray Bytes(const std::string &text) { return QByteArray(text.data(), static_cast<int>(text.size())); }

// A property by name, ASCII case ignored as the class library does.
bool FindProperty(const QObject *object, const std::string &name, QMetaProperty *property)
{
    const QMetaObject *meta = object->metaObject();
    int index = meta->indexOfProperty(name.c_str());
    if (index < 0)
        for (int i = 0; i < meta->propertyCount(); ++i)
            if (QString::fromLatin1(meta->property(i).name()).compare(QString::fromStdString(name),
                                                                      Qt::CaseInsensitive) == 0)
                index = i;
    if (index < 0)
        return false;
    *property = meta->property(index);
    return true;
}

// The enumeration of an enumerated property, also when it is declared in a
// namespace of its own.
QMetaEnum EnumOf(const QMetaProperty &property)
{
    if (property.isEnumType())
        return property.enumerator();
    const QMetaObject *scope = property.metaType().metaObject();
    if (!scope)
        return QMetaEnum();
    QByteArray name = property.metaType().name();
    const int colons = name.lastIndexOf("::");
    if (colons >= 0)
        name = name.mid(colons + 2);
    const int index = scope->indexOfEnumerator(name.constData());
    return index < 0 ? QMetaEnum() : scope->enumerator(index);
}

// The bound that the class declaring an integer property puts on it
// through its "Pixels" and "Points" class information; 0 for none.
int BoundOf(const QMetaProperty &property)
{
    const QMetaObject *meta = property.enclosingMetaObject();
    for (int i = 0; meta && i < meta->classInfoCount(); ++i) {
        const QMetaClassInfo info = meta->classInfo(i);
        const int most = qstrcmp(info.name(), "Pixels") == 0   ? kMostPixels
                         : qstrcmp(info.name(), "Points") == 0 ? kMostPoints
                                                               : 0;
        if (most && QByteArray(info.value()).split(' ').contains(QByteArray(property.name())))
            return most;
    }
    return 0;
}

QByteArray Unqualified(QByteArray type)
{
    type = QMetaObject::normalizedType(type.constData());
    const int colons = type.lastIndexOf("::");
    if (colons >= 0)
        type = type.mid(colons + 2);
    if (type == "QObject*")
        type = "TObject*";
    return type;
}

struct Fixup {
    QObject *object;
    QMetaProperty property;
    std::string target;
    int line;
    std::string owner;
};

class Reader {
public:
    Reader(TComponent *root, const QMetaObject *formClass, const AnsiString &resource)
        : FRoot(root), FFormClass(formClass), FResource(resource)
    {
    }

    void Read(const TFormObject &tree)
    {
        const char *expected = FFormClass ? FFormClass->className() : FRoot->metaObject()->className();
        if (tree.ClassName != expected)
            Fail(tree.Line, "the resource is of class " + tree.ClassName + ", the form of class " + expected);
        FRoot->BeginLoading();
        FMade.push_back(FRoot);
        for (int i = 0; i < FRoot->ComponentCount(); ++i)
            FNames.insert(NameKey(FRoot->Components(i)->Name().str()));
        if (!tree.Name.empty())
            FRoot->SetName(AnsiString(tree.Name));
        SetProperties(FRoot, tree);
        for (const TFormObject &child : tree.Children)
            Create(child, FRoot);
        for (const Fixup &fixup : FFixups)
            Resolve(fixup);
        for (TComponent *component : FMade)
            component->Loaded();
    }

private:
    [[noreturn]] void Fail(int line, const std::string &what) { FormReadError(FResource, line, what); }

    // Component names compare without regard to ASCII case.
    static std::string NameKey(std::string name)
    {
        for (char &c : name)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        return name;
    }

    static std::string NameOf(const TComponent *component)
    {
        return component->Name().IsEmpty() ? component->ClassName().str() : component->Name().str();
    }

    void Create(const TFormObject &node, TComponent *enclosing)
    {
        const TRegisteredClass *registered = GetClass(Bytes(node.ClassName));
        if (!registered)
            Fail(node.Line, "class " + node.ClassName + " not found");
        if (node.Name.empty())
            Fail(node.Line, "component of class " + node.ClassName + " has no name");
        if (!FNames.insert(NameKey(node.Name)).second || AnsiString(node.Name).CompareIC(FRoot->Name()) == 0)
            Fail(node.Line, "a component named " + node.Name + " already exists");
        TComponent *component = registered->Make(FRoot);
        component->BeginLoading();
        FMade.push_back(component);
        component->SetName(AnsiString(node.Name));
        if (auto *control = qobject_cast<TControl *>(component)) {
            auto *parent = qobject_cast<TWinControl *>(enclosing);
            if (!parent)
                Fail(node.Line, "control " + node.Name + " lies in " + NameOf(enclosing) + ", which holds no controls");
            control->SetParent(parent);
        }
        SetProperties(component, node);
        for (const TFormObject &child : node.Children)
            Create(child, component);
    }

    void SetProperties(TComponent *component, const TFormObject &node)
    {
        for (const TFormProperty &property : node.Properties)
            SetProperty(component, property);
    }

    void SetProperty(TComponent *component, const TFormProperty &assignment)
    {
        const std::string owner = NameOf(component);
        QObject *object = component;
        std::string path = assignment.Path;
        std::string shown = owner;
        for (;;) {
            const size_t dot = path.find('.');
            const std::string name = path.substr(0, dot);
            shown += "." + name;
            QMetaProperty property;
            if (!FindProperty(object, name, &property))
                Fail(assignment.Line, "property " + shown + " does not exist");
            if (dot == std::string::npos) {
                Write(object, property, assignment.Value, shown);
                return;
            }
            const QVariant inner = property.read(object);
            path = path.substr(dot + 1);
            if (property.metaType() == QMetaType::fromType<TStrings *>()) {
                TStrings *strings = inner.value<TStrings *>();
                if (path != "Strings" || !strings)
                    Fail(assignment.Line, "property " + shown + "." + path + " does not exist");
                FillStrings(strings, assignment.Value, shown);
                return;
            }
            QObject *next = (property.metaType().flags() & QMetaType::PointerToQObject) ? inner.value<QObject *>()
                                                                                        : nullptr;
            if (!next)
                Fail(assignment.Line, "property " + shown + " has no properties of its own");
            object = next;
        }
    }

    void FillStrings(TStrings *strings, const TFormValue &value, const std::string &shown)
    {
        if (value.Type != TFormValue::List)
            Fail(value.Line, "invalid value for " + shown + ": a list of strings expected");
        for (const TFormValue &item : value.Items)
            if (item.Type != TFormValue::String)
                Fail(item.Line, "invalid value for " + shown + ": a list of strings expected");
        strings->Clear();
        for (const TFormValue &item : value.Items)
            strings->Add(AnsiString(item.Text));
    }

    [[noreturn]] void Invalid(const TFormValue &value, const std::string &shown)
    {
        std::string found;
        switch (value.Type) {
        case TFormValue::Identifier: found = value.Text; break;
        case TFormValue::Integer: found = std::to_string(value.IntegerValue); break;
        case TFormValue::Number: found = std::to_string(value.NumberValue); break;
        case TFormValue::String: found = "'" + value.Text + "'"; break;
        case TFormValue::Set: found = "a set"; break;
        case TFormValue::List: found = "a list"; break;
        case TFormValue::Binary: found = "binary data"; break;
        }
        Fail(value.Line, "invalid value " + found + " for " + shown);
    }

    void Write(QObject *object, const QMetaProperty &property, const TFormValue &value, const std::string &shown)
    {
        const QMetaType type = property.metaType();
        if (type == QMetaType::fromType<TStrings *>()) {
            TStrings *strings = property.read(object).value<TStrings *>();
            if (!strings)
                Invalid(value, shown);
            FillStrings(strings, value, shown);
            return;
        }
        if (!property.isWritable())
            Fail(value.Line, "property " + shown + " cannot be set");
        if (type.flags() & QMetaType::PointerToQObject) {
            if (value.Type != TFormValue::Identifier)
                Invalid(value, shown);
            FFixups.push_back(Fixup{object, property, value.Text, value.Line, shown});
            return;
        }
        const QVariant converted = Convert(property, value, shown);
        bool written = false;
        try {
            written = property.write(object, converted);
        } catch (const Exception &exception) {
            Fail(value.Line, shown + ": " + exception.Message().str());
        }
        if (!written)
            Invalid(value, shown);
    }

    QVariant Convert(const QMetaProperty &property, const TFormValue &value, const std::string &shown)
    {
        const QMetaType type = property.metaType();
        if (const TEventType *event = FindEventType(type))
            return Bind(*event, value, shown);
        if (const TSetType *set = FindSetType(type)) {
            if (value.Type != TFormValue::Set)
                Invalid(value, shown);
            uint32_t bits = 0;
            for (const std::string &element : value.Elements) {
                bool ok = false;
                const int ordinal = set->Elements.keyToValue(element.c_str(), &ok);
                if (!ok || ordinal < 0 || ordinal > 31)
                    Fail(value.Line, "invalid value " + element + " for " + shown);
                bits |= uint32_t(1) << ordinal;
            }
            return set->Make(bits);
        }
        if (type.flags() & QMetaType::IsEnumeration) {
            int number = 0;
            if (value.Type == TFormValue::Identifier) {
                const QMetaEnum names = EnumOf(property);
                bool ok = false;
                number = names.isValid() ? names.keyToValue(value.Text.c_str(), &ok) : 0;
                if (!ok)
                    Invalid(value, shown);
            } else if (value.Type == TFormValue::Integer && IsNumericEnum(type) && value.IntegerValue >= INT32_MIN &&
                       value.IntegerValue <= UINT32_MAX) {
                number = static_cast<int>(static_cast<int64_t>(value.IntegerValue));
            } else {
                Invalid(value, shown);
            }
            if (type.sizeOf() != sizeof(int))
                Invalid(value, shown);
            return QVariant(type, &number);
        }
        switch (type.id()) {
        case QMetaType::Bool:
            if (value.Type == TFormValue::Identifier) {
                const QString word = QString::fromStdString(value.Text);
                if (word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                    return QVariant(true);
                if (word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                    return QVariant(false);
            }
            Invalid(value, shown);
        case QMetaType::Int:
        case QMetaType::Short:
        case QMetaType::Long:
            if (value.Type != TFormValue::Integer || value.IntegerValue < INT32_MIN || value.IntegerValue > INT32_MAX)
                Invalid(value, shown);
            if (const int most = BoundOf(property); most && (value.IntegerValue < -most || value.IntegerValue > most))
                Fail(value.Line, "value " + std::to_string(value.IntegerValue) + " for " + shown + " out of range (-" +
                                     std::to_string(most) + " to " + std::to_string(most) + ")");
            return QVariant(static_cast<int>(value.IntegerValue));
        case QMetaType::UInt:
            if (value.Type != TFormValue::Integer || value.IntegerValue < 0 || value.IntegerValue > UINT32_MAX)
                Invalid(value, shown);
            return QVariant(static_cast<unsigned>(value.IntegerValue));
        case QMetaType::LongLong:
            if (value.Type != TFormValue::Integer)
                Invalid(value, shown);
            return QVariant(value.IntegerValue);
        case QMetaType::Double:
        case QMetaType::Float:
            if (value.Type == TFormValue::Integer)
                return QVariant(static_cast<double>(value.IntegerValue));
            if (value.Type == TFormValue::Number)
                return QVariant(value.NumberValue);
            Invalid(value, shown);
        case QMetaType::QString:
            if (value.Type != TFormValue::String)
                Invalid(value, shown);
            return QVariant(AnsiToText(value.Text));
        case QMetaType::QByteArray:
            if (value.Type != TFormValue::Binary && value.Type != TFormValue::String)
                Invalid(value, shown);
            return QVariant(Bytes(value.Text));
        default:
            break;
        }
        if (type == QMetaType::fromType<AnsiString>()) {
            if (value.Type != TFormValue::String)
                Invalid(value, shown);
            return QVariant::fromValue(AnsiString(value.Text));
        }
        Fail(value.Line, "property " + shown + " has a type that form resources cannot set");
    }

    QVariant Bind(const TEventType &event, const TFormValue &value, const std::string &shown)
    {
        if (value.Type != TFormValue::Identifier || value.Text.find('.') != std::string::npos)
            Invalid(value, shown);
        const QMetaObject *meta = FFormClass ? FFormClass : FRoot->metaObject();
        bool named = false;
        for (int i = 0; i < meta->methodCount(); ++i) {
            const QMetaMethod method = meta->method(i);
            if (method.name() != Bytes(value.Text) || method.methodType() == QMetaMethod::Signal)
                continue;
            named = true;
            if (method.parameterCount() != static_cast<int>(event.Parameters.size()))
                continue;
            bool same = true;
            for (int p = 0; p < method.parameterCount() && same; ++p)
                same = Unqualified(method.parameterTypeName(p)) == Unqualified(event.Parameters[p]);
            if (same)
                return event.Bind(FRoot, i, AnsiString(value.Text));
        }
        if (named)
            Fail(value.Line, "method " + value.Text + " does not take the parameters of " + shown);
        Fail(value.Line, "method " + value.Text + " for " + shown + " not found in " + meta->className());
    }

    void Resolve(const Fixup &fixup)
    {
        const AnsiString name(fixup.target);
        TComponent *target = name.CompareIC(FRoot->Name()) == 0 ? FRoot : FRoot->FindComponent(name);
        if (!target)
            Fail(fixup.line, "component " + fixup.target + " for " + fixup.owner + " not found");
        const QMetaObject *wanted = fixup.property.metaType().metaObject();
        if (wanted && !target->metaObject()->inherits(wanted))
            Fail(fixup.line, "component " + fixup.target + " cannot be " + fixup.owner);
        QObject *pointer = target;
        if (!fixup.property.write(fixup.object, QVariant(fixup.property.metaType(), &pointer)))
            Fail(fixup.line, "component " + fixup.target + " cannot be " + fixup.owner);
    }

    TComponent *FRoot;
    const QMetaObject *FFormClass;
    AnsiString FResource;
    std::vector<TComponent *> FMade;
    std::vector<Fixup> FFixups;
    // The names of the root's components, as NameKey gives them.
    std::unordered_set<std::string> FNames;
};

// Sets the resource folder for FormFilePath while reading.
class ReadingScope {
public:
    explicit ReadingScope(const QString &folder) : FFolder(tResourceFolder), FReading(tReading)
    {
        tResourceFolder = folder;
        tReading = true;
    }
    ~ReadingScope()
    {
        tResourceFolder = FFolder;
        tReading = FReading;
    }

private:
    QString FFolder;
    bool FReading;
};

void Read(TComponent *root, const QMetaObject *formClass, const std::string &text, const AnsiString &name,
          const QString &folder)
{
    RegisterStandardClasses();
    const TFormObject tree = ParseFormText(text, name);
    ReadingScope scope(folder);
    Reader(root, formClass, name).Read(tree);
}

} // namespace

void ReadFormResource(TComponent *root, const QMetaObject *formClass, const QString &resource)
{
    QFile file(resource);
    const AnsiString name(resource.toStdString());
    if (!file.open(QIODevice::ReadOnly))
        throw EResNotFound("Resource " + name + " not found");
    const QByteArray text = file.readAll();
    Read(root, formClass, text.toStdString(), name, QFileInfo(resource).path());
}

void ReadFormText(TComponent *root, const QMetaObject *formClass, const std::string &text,
                  const AnsiString &resourceName)
{
    Read(root, formClass, text, resourceName, QString());
}

QString FormFilePath(const AnsiString &name)
{
    const QString path = AnsiToText(name);
    if (!tReading || tResourceFolder.isEmpty() || path.startsWith(QLatin1Char('/')) ||
        path.startsWith(QLatin1Char(':')))
        return path;
    return tResourceFolder + QLatin1Char('/') + path;
}
