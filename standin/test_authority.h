#pragma once
// The stand-in's own certificate authority and the certificate it serves, signed by it, for every
// host of the service and the samples (standin/tls/, built in). A client trusts the stand-in's
// TLS only when told to trust this authority, as it would a company's own.
#include <string>

namespace fotolun::standin {

std::string TestAuthorityPem();
std::string ServerCertificatePem();
std::string ServerKeyPem();

}  // namespace fotolun::standin
