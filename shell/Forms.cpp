#include "Forms.h"

#include <QHash>

namespace tv::shell::Forms {

namespace {
struct Registry
{
    QHash<QString, Factory> factories;
    QHash<QString, QPointer<QWidget>> windows;
};
Registry &registry()
{
    static Registry r;
    return r;
}
} // namespace

void registerForm(const QString &name, Factory factory)
{
    registry().factories.insert(name, std::move(factory));
}

QWidget *find(const QString &name)
{
    return registry().windows.value(name).data();
}

void destroyAll()
{
    const auto windows = registry().windows;
    registry().windows.clear();
    for (const QPointer<QWidget> &w : windows)
        delete w.data();
}

QWidget *get(const QString &name)
{
    if (QWidget *existing = find(name))
        return existing;
    const Factory factory = registry().factories.value(name);
    if (!factory)
        return nullptr;
    QWidget *made = factory();
    made->setObjectName(name);
    registry().windows.insert(name, made);
    return made;
}

} // namespace tv::shell::Forms
