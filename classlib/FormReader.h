// The form reader: builds a form's components from its form resource.
//
// It creates each object of the resource by its class name (registered in
// the class registry) with the form as owner and the enclosing control as
// parent, names it, sets every property by name through Qt's meta-object
// system (nested ones such as Font.Height through the object property),
// binds every event property to the form class's invokable method of that
// name with the event's parameters, and resolves references to other
// components by name once all are made. Then each component's Loaded()
// runs. Anything it cannot do raises EReadError naming the resource, the
// line and the name; a resource that is not there raises EResNotFound.
#pragma once

#include <string>

#include <QString>

#include "AnsiString.h"

class QMetaObject;
class TComponent;

// `resource` is a Qt resource path (":/scanner/Main_form.dfm") or a file.
// `formClass` is the meta-object of the form's most derived class, whose
// methods are the handlers (the form is still being constructed).
void ReadFormResource(TComponent *root, const QMetaObject *formClass, const QString &resource);
// The same from text in memory; `resourceName` names it in errors.
void ReadFormText(TComponent *root, const QMetaObject *formClass, const std::string &text,
                  const AnsiString &resourceName);

// A file that a resource names (a picture): relative names lie beside the
// resource being read; outside reading, and for absolute paths and ":/"
// resource paths, the name as it is.
QString FormFilePath(const AnsiString &name);
