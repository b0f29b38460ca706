#pragma once

// The German words of everything the transfer says to the user: its errors
// and its other lines. All of them stand in one table in
// transfer_messages.cpp; names go in through core::PrintableName.

#include <string>

#include "transfer/transfer_error.h"

namespace transfer {

// Lines, and parts of lines, that are no error.
enum class TText {
    OnlineSame,
    OnlineDifferent,
    WrongCharset,
    PagesCounted,
    OneFileCounted,
    FilesCounted,
    Cancelled,
    NotSent,
    LocalUserName,
    KeyOfType,
    CertificateKind,
    SelfSigned,
    ForAnotherName,
    Expired,
    NotYetValid,
    UnknownIssuer,
    NotConfirmed,
};

// The fault's words, the cause's after ": ", the detail where the words
// place it or else in parentheses at the end, and a full stop.
std::string ErrorMessage(TFault fault, const TSubject& subject, TCause cause, const std::string& detail);

// The text's words with the subject's names in their places.
std::string Text(TText text, const TSubject& subject = {});

}  // namespace transfer
