// Evaluating a parsed expression against one record.

#include "store/expression_internal.h"

#include <charconv>
#include <cstring>

namespace qp::store {

namespace {

// Scratch buffers live per thread and keep their capacity, so after the first
// records nothing is allocated; one evaluation runs at a time on a thread.
std::string* scratch(int count) {
    thread_local std::vector<std::string> pool;
    if (pool.size() < static_cast<std::size_t>(count)) {
        pool.resize(static_cast<std::size_t>(count));
    }
    return pool.data();
}

// Stands in for a missing record: all blanks, not deleted.
const char* blankRecord(int span) {
    thread_local std::string blanks;
    if (blanks.size() < static_cast<std::size_t>(span)) {
        blanks.assign(static_cast<std::size_t>(span), ' ');
    }
    return blanks.data();
}

expr::EvalContext context(const RecordView& record, const EvalSettings& settings, int slots,
                          int span) {
    const char* bytes = record.bytes ? record.bytes : blankRecord(span);
    return {bytes, record.recno, settings.exact, scratch(slots)};
}

} // namespace

Value Expression::evaluate(const RecordView& record, const EvalSettings& settings) const {
    if (!root_) {
        return Value::character({});
    }
    const expr::EvalContext c = context(record, settings, slotCount_, recordSpan_);
    switch (root_->type()) {
    case ValueType::Character:
        return Value::character(std::string(root_->text(c)));
    case ValueType::Numeric:
        return Value::numeric(root_->number(c));
    default:
        return Value::boolean(root_->logical(c));
    }
}

bool Expression::isTrue(const RecordView& record, const EvalSettings& settings) const {
    if (!root_ || root_->type() != ValueType::Logical) {
        return false;
    }
    return root_->logical(context(record, settings, slotCount_, recordSpan_));
}

void Expression::evaluateText(const RecordView& record, std::string& out,
                              const EvalSettings& settings) const {
    if (!root_) {
        out.clear();
        return;
    }
    const expr::EvalContext c = context(record, settings, slotCount_, recordSpan_);
    switch (root_->type()) {
    case ValueType::Character:
        out.assign(root_->text(c));
        return;
    case ValueType::Numeric: {
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, root_->number(c));
        out.assign(buf, r.ec == std::errc() ? r.ptr : buf);
        return;
    }
    default:
        out.assign(1, root_->logical(c) ? 'T' : 'F');
        return;
    }
}

ValueType Expression::type() const {
    return root_ ? root_->type() : ValueType::Character;
}

int Expression::width() const {
    if (!root_) {
        return 0;
    }
    switch (root_->type()) {
    case ValueType::Logical:
        return 1;
    case ValueType::Character:
        return root_->width() == ExpressionNode::kUnknownWidth ? 0 : root_->width();
    default:
        return 0; // numbers are not index keys here
    }
}

bool Expression::sameInputs(const char* a, const char* b) const {
    if (a[0] != b[0])
        return false;
    for (const auto& [offset, length] : fieldBytes_)
        if (std::memcmp(a + offset, b + offset, static_cast<std::size_t>(length)) != 0)
            return false;
    return true;
}

} // namespace qp::store
