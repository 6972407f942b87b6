#include "design/object_registry.h"

#include "design/address_label.h"
#include "design/barcodes.h"
#include "design/imb_barcode.h"
#include "design/shapes.h"
#include "design/text_labels.h"

#include <map>

namespace qp::design {

namespace {
std::map<QString, TObjectFactory>& Registry() {
    static std::map<QString, TObjectFactory> r;
    return r;
}

template <typename T> TObjectFactory Make() {
    return [] { return std::unique_ptr<TGGraphicControl>(new T); };
}

const std::map<QString, TObjectFactory>& BuiltIns() {
    static const std::map<QString, TObjectFactory> b{
        {"TGPLabel", Make<TGPLabel>()},
        {"TGPDLabel", Make<TGPDLabel>()},
        {"TGCounterLabel", Make<TGCounterLabel>()},
        {"TGSymbolLabel", Make<TGSymbolLabel>()},
        {"TGMultiLineLabel", Make<TGMultiLineLabel>()},
        {"TGDMultiLineLabel", Make<TGDMultiLineLabel>()},
        {"TGDateTimeLabel", Make<TGDateTimeLabel>()},
        {"TGPageNumberLabel", Make<TGPageNumberLabel>()},
        {"TGLabelShapes", Make<TGLabelShapes>()},
        {"Trpshapes", Make<Trpshapes>()},
        {"TGLineShape", Make<TGLineShape>()},
        {"TGImage", Make<TGImage>()},
        {"TGDMultiLineAddressLabel", Make<TGDMultiLineAddressLabel>()},
        {"TGPostNetBarCode", Make<TGPostNetBarCode>()},
        {"TGFIMBarCode", Make<TGFIMBarCode>()},
        {"TGIMbBarCode", Make<TGIMbBarCode>()},
    };
    return b;
}
} // namespace

void RegisterDesignClass(const QString& className, TObjectFactory factory) {
    Registry()[className] = std::move(factory);
}

bool RegisterBuiltInClass(const QString& className) {
    auto it = BuiltIns().find(className);
    if (it == BuiltIns().end())
        return false;
    Registry()[className] = it->second;
    return true;
}

bool IsDesignClassRegistered(const QString& className) {
    return Registry().count(className) > 0;
}

std::unique_ptr<TGGraphicControl> CreateDesignObject(const QString& className) {
    auto it = Registry().find(className);
    return it == Registry().end() ? nullptr : it->second();
}

std::unique_ptr<TGGraphicControl> CreateBuiltInObject(const QString& className) {
    auto it = BuiltIns().find(className);
    return it == BuiltIns().end() ? nullptr : it->second();
}

} // namespace qp::design
