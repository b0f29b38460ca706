#include "transfer/transfer_error.h"

#include "transfer/transfer_messages.h"

namespace transfer {

TTransferError::TTransferError(TFault fault, TSubject subject, TCause cause, std::string detail)
    : std::runtime_error(ErrorMessage(fault, subject, cause, detail)),
      fault_(fault),
      cause_(cause),
      subject_(std::move(subject)),
      detail_(std::move(detail)) {}

TTransferError::TTransferError(const TTransferError& first, const TTransferError& then)
    : std::runtime_error(std::string(first.what()) + " " + then.what()),
      fault_(first.fault_),
      cause_(first.cause_),
      subject_(first.subject_),
      detail_(first.detail_),
      then_(std::make_shared<const TTransferError>(then)) {}

const std::string& TTransferError::subject() const {
    static const std::string kNone;
    return subject_.names.empty() ? kNone : subject_.names.front();
}

TTransferError TTransferError::Then(TFault outcome, TSubject subject) const {
    return TTransferError(*this, TTransferError(outcome, std::move(subject)));
}

}  // namespace transfer
