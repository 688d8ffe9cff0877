// FetchToFile over https against a TLS server on 127.0.0.1 whose certificates are made
// here: refused unless the certificate chains to a trusted authority and names the host.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "FetchToFile.h"
#include "ListServerChoice.h"
#include "TestServer.h"

namespace numira::testing {
namespace {

// Sets an environment variable for the life of the object, then restores it.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_, old_->c_str(), 1);
    else
      ::unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

int Run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// A test authority with two server certificates it signed (one for 127.0.0.1, one for
// another name), and a self-signed certificate for 127.0.0.1.
class Certificates {
 public:
  Certificates() {
    const std::string d = dir_.path().string();
    const std::string ec = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
    ok_ = Run("openssl req -x509 " + ec + " -keyout " + d + "/ca.key -out " + d +
              "/ca.pem -days 2 -subj '/CN=Numira Test CA' -addext basicConstraints=critical,CA:TRUE"
              " -addext keyUsage=critical,keyCertSign,cRLSign") == 0 &&
          Sign("server", "IP:127.0.0.1") && Sign("othername", "DNS:other.example") &&
          Run("openssl req -x509 " + ec + " -keyout " + d + "/self.key -out " + d +
              "/self.pem -days 2 -subj '/CN=127.0.0.1' -addext subjectAltName=IP:127.0.0.1") == 0 &&
          // A scratch certificate folder, as SSL_CERT_DIR names one: the authority under its hash.
          Run("mkdir -p " + d + "/store && cp " + d + "/ca.pem " + d + "/store/ && openssl rehash " + d + "/store") == 0;
  }
  bool Ok() const { return ok_; }
  std::string operator/(const std::string& name) const { return dir_ / name; }
  TlsFiles Files(const std::string& name) const { return {dir_ / (name + ".pem"), dir_ / (name + ".key")}; }

 private:
  bool Sign(const std::string& name, const std::string& altName) {
    const std::string d = dir_.path().string();
    WriteBytes(d + "/" + name + ".ext",
               "subjectAltName=" + altName + "\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n");
    return Run("openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout " + d + "/" + name +
               ".key -out " + d + "/" + name + ".csr -subj '/CN=" + name + "'") == 0 &&
           Run("openssl x509 -req -in " + d + "/" + name + ".csr -CA " + d + "/ca.pem -CAkey " + d +
               "/ca.key -CAcreateserial -days 2 -out " + d + "/" + name + ".pem -extfile " + d + "/" + name +
               ".ext") == 0;
  }

  TempDir dir_;
  bool ok_ = false;
};

FetchOptions Options() {
  FetchOptions o;
  o.agent = "Numira";
  o.limits.connectTimeoutMs = 2000;
  o.limits.totalTimeoutMs = 10000;
  return o;
}

class HttpsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { certs_ = std::make_unique<Certificates>(); }
  static void TearDownTestSuite() { certs_.reset(); }
  void SetUp() override { ASSERT_TRUE(certs_->Ok()) << "cannot make the test certificates (openssl)"; }

  // The address of a list on a TLS server, built the way the refresh builds it.
  static std::string ListUrl(const ListServer& server) {
    return ListFileUrl(*ListServerBaseUrl("https://" + server.Host()), "Num3Correct.txt");
  }

  static std::unique_ptr<Certificates> certs_;
  TempDir dir;
  std::string local = dir / "list.txt";
  const std::string body = ReadBytes(std::string(NUMIRA_DATA_DIR) + "/Num3Correct.txt");
};
std::unique_ptr<Certificates> HttpsTest::certs_;

TEST_F(HttpsTest, UntrustedOrMisnamedCertificatesAreRefused) {
  const struct {
    const char* certificate;
    bool trustTestAuthority;
  } rows[] = {
      {"server", false},    // signed by an authority the system does not know
      {"othername", true},  // trusted, but for another name
      {"self", true},       // self-signed
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.certificate);
    const TlsFiles files = certs_->Files(row.certificate);
    ListServer server(NUMIRA_DATA_DIR, &files);
    std::optional<ScopedEnv> trust;
    if (row.trustTestAuthority) trust.emplace("SSL_CERT_FILE", *certs_ / "ca.pem");
    EXPECT_EQ(FetchToFile(local, ListUrl(server), Options()), FetchResult::Insecure);
    EXPECT_FALSE(Exists(local));
  }
}

TEST_F(HttpsTest, TrustedThroughAScratchCertificateFileOrFolder) {
  const TlsFiles files = certs_->Files("server");
  ListServer server(NUMIRA_DATA_DIR, &files);
  {
    const ScopedEnv file("SSL_CERT_FILE", *certs_ / "ca.pem");
    EXPECT_EQ(FetchToFile(local, ListUrl(server), Options()), FetchResult::Stored);
    EXPECT_EQ(ReadBytes(local), body);
  }
  ::unlink(local.c_str());
  {
    const ScopedEnv folder("SSL_CERT_DIR", *certs_ / "store");
    EXPECT_EQ(FetchToFile(local, ListUrl(server), Options()), FetchResult::Stored);
    EXPECT_EQ(ReadBytes(local), body);
  }
  EXPECT_EQ(server.Count("/Data/Num3Correct.txt"), 2);
}

TEST_F(HttpsTest, ARedirectFromHttpsToHttpIsRefused) {
  const TlsFiles files = certs_->Files("server");
  ListServer tls(NUMIRA_DATA_DIR, &files);
  ListServer plain;
  tls.Set("/Data/Num3Correct.txt", {302, "", plain.Url("/Data/Num3Correct.txt")});
  const ScopedEnv file("SSL_CERT_FILE", *certs_ / "ca.pem");
  EXPECT_EQ(FetchToFile(local, ListUrl(tls), Options()), FetchResult::Broken);
  EXPECT_FALSE(Exists(local));
  EXPECT_EQ(plain.Count("/Data/Num3Correct.txt"), 0);
  // Within https it is followed.
  tls.Set("/Data/Num3Correct.txt", {302, "", "/Data/Moved.txt"});
  tls.Set("/Data/Moved.txt", {200, body});
  EXPECT_EQ(FetchToFile(local, ListUrl(tls), Options()), FetchResult::Stored);
  EXPECT_EQ(ReadBytes(local), body);
}

TEST_F(HttpsTest, ConditionalRequestsWorkOverTls) {
  const TlsFiles files = certs_->Files("server");
  ListServer server(NUMIRA_DATA_DIR, &files);
  Reply reply{200, body};
  reply.lastModified = "Thu, 01 Jan 2099 00:00:00 GMT";
  server.Set("/Data/Num3Correct.txt", reply);
  const ScopedEnv file("SSL_CERT_FILE", *certs_ / "ca.pem");
  EXPECT_EQ(FetchToFile(local, ListUrl(server), Options()), FetchResult::Stored);
  EXPECT_EQ(StoredValidators(local), (Validators{"", "Thu, 01 Jan 2099 00:00:00 GMT"}));
  FetchOptions o = Options();
  o.validators = StoredValidators(local);
  EXPECT_EQ(FetchToFile(dir / "part", ListUrl(server), o), FetchResult::NotModified);
  EXPECT_FALSE(Exists(dir / "part"));
}

}  // namespace
}  // namespace numira::testing
