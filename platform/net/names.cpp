// Names and addresses of the TCP client (stands in for inet_addr/gethostbyname, inet_ntoa,
// gethostname and getsockname of Windows Sockets).
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/net/net.h"

namespace kyx::net {

Status local_address(Socket socket, uint32_t& address, uint16_t& port) {
  sockaddr_in self{};
  socklen_t size = sizeof self;
  if (socket < 0 || ::getsockname(socket, reinterpret_cast<sockaddr*>(&self), &size) < 0 ||
      self.sin_family != AF_INET) {
    return Status::Error(std::string("getsockname: ") + std::strerror(socket < 0 ? EBADF : errno));
  }
  address = self.sin_addr.s_addr;
  port = ntohs(self.sin_port);
  return Status::Ok();
}

Status host_name(std::string& name) {
  char buffer[256] = {};
  if (::gethostname(buffer, sizeof buffer - 1) != 0) {
    name.clear();
    return Status::Error(std::string("gethostname: ") + std::strerror(errno));
  }
  name = buffer;  // up to the first NUL
  return Status::Ok();
}

Status resolve(std::string_view host, uint32_t& address) {
  if (host.empty()) return Status::Error("resolve: empty host name");
  const std::string name(host);
  if (name.find('\0') != std::string::npos) return Status::Error("resolve: bad host name");
  in_addr dotted{};
  if (::inet_aton(name.c_str(), &dotted) != 0) {
    address = dotted.s_addr;
    return Status::Ok();
  }
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int r = ::getaddrinfo(name.c_str(), nullptr, &hints, &found);
  if (r != 0 || found == nullptr) {
    if (found != nullptr) ::freeaddrinfo(found);
    return Status::Error(std::string("resolve ") + name + ": " + ::gai_strerror(r));
  }
  address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
  ::freeaddrinfo(found);
  return Status::Ok();
}

std::string address_text(uint32_t address) {
  in_addr a{};
  a.s_addr = address;
  char buffer[INET_ADDRSTRLEN] = {};
  if (::inet_ntop(AF_INET, &a, buffer, sizeof buffer) == nullptr) return "";
  return buffer;
}

}  // namespace kyx::net
