#pragma once

// An error of the transfer says what was attempted or what went wrong, what
// it names, and why, as codes: callers and tests decide by the codes, and
// what() is the German message made from the words in transfer_messages.cpp.

#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace transfer {

// What was attempted, or what went wrong.
enum class TFault {
    // Reaching the server.
    NoServerGiven,
    ServerNameInvalid,
    UnknownHost,
    HostNotResolved,
    ConnectionRefused,
    HostUnreachable,
    NoAnswer,
    NoConnection,
    EndedWithoutSsh,
    SshNotUnderstood,
    NoSftp,
    NoTls,
    TlsFailed,
    FtpNotUnderstood,
    NotHttps,
    AddressInvalid,
    NoWebDav,
    NoBucketGiven,
    NoRegionGiven,
    UserHasLineBreak,
    PasswordHasLineBreak,
    NameHasLineBreak,
    // The libraries.
    NoSshLibrary,
    NoCurl,
    CurlWithoutOpenSsl,
    NoSha256,
    NoMemoryForCommand,
    // Trusting the server.
    HostKeyNotShown,
    HostKeyChanged,
    HostKeyNotTrusted,
    HostKeyNotRecorded,
    KnownHostsUnreadable,
    CertificateChanged,
    CertificateNotTrusted,
    CertificateNotPinned,
    // Logging in.
    LoginFailed,
    PasswordRefused,
    TooManyPrompts,
    NoPasswordLogin,
    NoKeyLogin,
    NoKeyFound,
    KeyRefused,
    KeyFileMissing,
    KeyFileUnreadable,
    AccessKeyRefused,
    BucketMissing,
    // On the server.
    ServerFolderMissing,
    FolderNotListed,
    FolderNotListedWhole,
    FolderNotCreated,
    FileNotCreated,
    NotWritten,
    NotRenamed,
    NotRemoved,
    NotQueried,
    NotFetched,
    FetchedShort,
    ArrivedShort,
    LinkToNoFolder,
    FileInFolderPlace,
    FolderInFilePlace,
    // What a stop left of the file being sent (TTransferError::Then).
    FileStays,
    FileNotSent,
    FileMissingUntilNextPublish,
    OldFileBeside,
    // Here.
    PageFolderNotOpened,
    PageNotRead,
    PageLeftOut,
    PageNotReadWhole,
    FileNotRead,
    FileNotReadWhole,
    NoMemoryForPicture,
    LocationStays,
    RecordNotWritten,
    FolderHereNotMade,
    FolderHereNotEmpty,
    FileHereNotKept,
    StartPageInvalid,
    StartPageNotFetched,
    // The publish, or the fetch, as a whole.
    Cancelled,
    PublishFailed,
    FetchFailed,
    // The check online.
    NotAnAddress,
    PageHereUnreadable,
    OnlineHostUnknown,
    OnlineUnreachable,
    OnlineNoAnswer,
    CertificateInvalid,
    CheckCancelled,
    EndlessRedirects,
    PageNotFetched,
    PageNotFound,
    ServerReportsError,
};

// Why, where the fault says what was attempted: "<what>: <why>".
enum class TCause {
    None,
    NotThere,
    NoPermission,
    DiskFull,
    ServerError,
    ServerErrorWhileWriting,
    Silent,  // the stall guard's; the detail is its seconds
    ConnectionCut,
    NotThereOrNoPermission,
    ServerEnded,
    NoSettingsFolder,
    NotWritable,
    NotReplaced,
    LocationStillThere,
    ReplyNotUnderstood,
};

// What a message names: a file, a folder, a host. A few name more: a rename
// its new name too, a refused connection the port.
struct TSubject {
    TSubject() = default;
    TSubject(std::string name) : names{std::move(name)} {}
    TSubject(const char* name) : names{name} {}
    TSubject(std::initializer_list<std::string> all) : names(all) {}
    std::vector<std::string> names;
};

class TTransferError : public std::runtime_error {
public:
    // `detail`: the library's or the server's own words, shown as they are.
    explicit TTransferError(TFault fault, TSubject subject = {}, TCause cause = TCause::None, std::string detail = {});

    TFault fault() const { return fault_; }
    TCause cause() const { return cause_; }
    // The first name, or "".
    const std::string& subject() const;
    const std::string& detail() const { return detail_; }
    // This error, and then what it left of the file being sent.
    TTransferError Then(TFault outcome, TSubject subject) const;
    // That second part, or nullptr.
    const TTransferError* then() const { return then_.get(); }

private:
    TTransferError(const TTransferError& first, const TTransferError& then);

    TFault fault_;
    TCause cause_;
    TSubject subject_;
    std::string detail_;
    std::shared_ptr<const TTransferError> then_;
};

}  // namespace transfer
