#include "platform/win32/win32_ip_info.h"

#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h, which it builds on.
#include <iphlpapi.h>

#include <cstdlib>
#include <vector>

namespace vsu::win32 {
namespace {

std::string FirstAdapterAddress() {
  constexpr ULONG kFlags = GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
  ULONG size = 16 * 1024;
  std::vector<unsigned char> buffer;
  ULONG result = ERROR_BUFFER_OVERFLOW;
  for (int attempt = 0; attempt < 3 && result == ERROR_BUFFER_OVERFLOW; ++attempt) {
    buffer.assign(size, 0);
    result = GetAdaptersAddresses(AF_INET, kFlags, nullptr,
                                  reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
  }
  if (result != NO_ERROR) return "";
  for (auto* adapter = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter; adapter = adapter->Next) {
    if (adapter->IfType == IF_TYPE_SOFTWARE_LOOPBACK) continue;
    for (auto* unicast = adapter->FirstUnicastAddress; unicast; unicast = unicast->Next) {
      const auto* address = unicast->Address.lpSockaddr;
      if (!address || address->sa_family != AF_INET) continue;
      const auto& ipv4 = reinterpret_cast<const sockaddr_in*>(address)->sin_addr;
      const auto* bytes = reinterpret_cast<const unsigned char*>(&ipv4);
      if (bytes[0] == 127) continue;
      return std::to_string(bytes[0]) + "." + std::to_string(bytes[1]) + "." + std::to_string(bytes[2]) +
             "." + std::to_string(bytes[3]);
    }
  }
  return "";
}

}  // namespace

std::string Win32IpInfo::LocalAddress() {
  if (const char* forced = std::getenv("VELASCANUPG_IPADDRESS")) return forced;
  const std::string found = FirstAdapterAddress();
  return found.empty() ? "127.0.0.1" : found;
}

}  // namespace vsu::win32
