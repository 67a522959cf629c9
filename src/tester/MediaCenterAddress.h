// The media center's address as the user typed it in the Options: a host
// name, an IPv4 address or a bracketed IPv6 address, maybe a port, maybe
// with "http://" before it and a "/" after it. Portable.
#pragma once

#include <optional>
#include <string>

namespace tester {

// The web server's port when the address names none (JSON-RPC).
constexpr unsigned kJsonRpcDefaultPort = 8080;

struct MediaCenterAddress {
    std::wstring host;             // without brackets ("::1" for "[::1]")
    std::optional<unsigned> port;  // as typed
    bool ipv6 = false;

    // The port JSON-RPC goes to.
    unsigned jsonRpcPort() const { return port.value_or(kJsonRpcDefaultPort); }
    // "host", "host:port", "[::1]:port": what follows "http://" in a URL
    // (the port only when typed).
    std::wstring authority() const;
    // The same with the JSON-RPC port always given.
    std::wstring jsonRpcAuthority() const;
};

struct AddressReading {
    std::optional<MediaCenterAddress> address;
    std::wstring problem;  // a sentence saying what is wrong, when there is no address
};

// Reads the address as typed; blanks around it are dropped.
AddressReading readMediaCenterAddress(const std::wstring& typed);

}  // namespace tester
