#include "transfer/certificate_check.h"

#include <arpa/inet.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

#include "transfer/transfer_messages.h"

namespace transfer {
namespace {

// Upper-case hex pairs joined by ":", as browsers and `openssl x509
// -fingerprint -sha256` show a certificate.
std::string Fingerprint(X509* certificate) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return "?";
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        if (i > 0) text += ':';
        text += kHex[digest[i] >> 4];
        text += kHex[digest[i] & 15];
    }
    return text;
}

std::string ReasonOf(int error) {
    switch (error) {
        case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
            return Text(TText::SelfSigned);
        case X509_V_ERR_HOSTNAME_MISMATCH:
        case X509_V_ERR_IP_ADDRESS_MISMATCH:
            return Text(TText::ForAnotherName);
        case X509_V_ERR_CERT_HAS_EXPIRED:
            return Text(TText::Expired);
        case X509_V_ERR_CERT_NOT_YET_VALID:
            return Text(TText::NotYetValid);
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
        case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
        case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
            return Text(TText::UnknownIssuer);
        default:
            return Text(TText::NotConfirmed, {X509_verify_cert_error_string(error)});
    }
}

bool IsAddress(const std::string& host) {
    unsigned char address[sizeof(in6_addr)];
    return inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
}

// In place of OpenSSL's own check of the server's chain.
int VerifyCertificate(X509_STORE_CTX* chain, void* data) {
    auto* trust = static_cast<TTrust*>(data);
    X509_VERIFY_PARAM* param = X509_STORE_CTX_get0_param(chain);
    if (IsAddress(trust->host))
        X509_VERIFY_PARAM_set1_ip_asc(param, trust->host.c_str());
    else
        X509_VERIFY_PARAM_set1_host(param, trust->host.c_str(), 0);
    if (X509_verify_cert(chain) == 1) return 1;
    const std::string fingerprint = Fingerprint(X509_STORE_CTX_get0_cert(chain));
    if (!trust->pinned.empty() && fingerprint == trust->pinned) {
        X509_STORE_CTX_set_error(chain, X509_V_OK);
        return 1;
    }
    trust->verdict = trust->pinned.empty() ? TTrust::TVerdict::Unknown : TTrust::TVerdict::Changed;
    trust->fingerprint = fingerprint;
    trust->reason = ReasonOf(X509_STORE_CTX_get_error(chain));
    return 0;
}

}  // namespace

CURLcode SetUpTls(CURL*, void* context, void* trust) {
    auto* tls = static_cast<SSL_CTX*>(context);
    SSL_CTX_set_verify(tls, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_cert_verify_callback(tls, VerifyCertificate, trust);
    return CURLE_OK;
}

}  // namespace transfer
