#pragma once
// Which design classes a layout stream may contain, and how to make them.
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace qp::design {

class TGGraphicControl;
using TObjectFactory = std::function<std::unique_ptr<TGGraphicControl>()>;

// Registration is process-wide and lasts for the run.
void RegisterDesignClass(const QString& className, TObjectFactory factory);
// The classes this library defines, by name (false for an unknown name).
bool RegisterBuiltInClass(const QString& className);
bool IsDesignClassRegistered(const QString& className);
std::unique_ptr<TGGraphicControl> CreateDesignObject(const QString& className);
// A fresh object of a class this library defines, registered or not.
std::unique_ptr<TGGraphicControl> CreateBuiltInObject(const QString& className);

} // namespace qp::design
