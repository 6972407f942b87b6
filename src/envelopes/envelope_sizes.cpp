#include "envelopes/envelope_sizes.h"

#include <algorithm>

namespace qp::envelopes {

namespace {

const EnvelopeSize* find(int code) {
    auto it = std::find_if(kEnvelopeSizes.begin(), kEnvelopeSizes.end(),
                           [code](const EnvelopeSize& s) { return s.code == code; });
    return it == kEnvelopeSizes.end() ? nullptr : &*it;
}

} // namespace

EnvelopeSize envelopeSize(int code) {
    if (const EnvelopeSize* s = find(code))
        return *s;
    return EnvelopeSize{{}, code, -1, -1};
}

bool knownEnvelopeCode(int code) {
    return find(code) != nullptr;
}

int envelopeSizeIndex(int code) {
    const EnvelopeSize* s = find(code);
    return s ? static_cast<int>(s - kEnvelopeSizes.data()) : 0;
}

} // namespace qp::envelopes
