// Byte order, dotted addresses and host-name lookup through the resolver.
#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/net/socket_internal.h"

namespace plat {

uint16_t htons_ws(uint16_t value) { return htons(value); }
uint16_t ntohs_ws(uint16_t value) { return ntohs(value); }
uint32_t htonl_ws(uint32_t value) { return htonl(value); }
uint32_t ntohl_ws(uint32_t value) { return ntohl(value); }

uint32_t inet_addr(const char* text) {
    if (text == nullptr) return INADDR_NONE_WS;
    in_addr address{};
    if (::inet_pton(AF_INET, text, &address) != 1) return INADDR_NONE_WS;
    return address.s_addr;
}

namespace {

// The calling thread's last lookup result, kept until its next lookup.
struct HostRecord {
    std::string name;
    std::vector<uint32_t> addresses;
    std::vector<char*> addressList;
    const char* noAliases[1] = {nullptr};
    HostEnt entry{};
};

thread_local HostRecord hostRecord;

const HostEnt* Publish(const char* name, const std::vector<uint32_t>& found) {
    HostRecord& record = hostRecord;
    record.name = name;
    record.addresses = found;
    record.addressList.clear();
    for (uint32_t& address : record.addresses) {
        record.addressList.push_back(reinterpret_cast<char*>(&address));
    }
    record.addressList.push_back(nullptr);
    record.entry.name = record.name.c_str();
    record.entry.aliases = record.noAliases;
    record.entry.addressType = AF_INET_WS;
    record.entry.length = 4;
    record.entry.addresses = record.addressList.data();
    return &record.entry;
}

}  // namespace

const HostEnt* gethostbyname(const char* name) {
    {
        net::SocketLayer& layer = net::GetSocketLayer();
        std::lock_guard<std::mutex> hold(layer.lock);
        if (layer.startCount == 0) {
            net::Fail(WSANOTINITIALISED);
            return nullptr;
        }
    }
    if (name == nullptr || name[0] == '\0' || std::strlen(name) > 255) {
        net::Fail(WSAHOST_NOT_FOUND);
        return nullptr;
    }
    const uint32_t dotted = inet_addr(name);
    if (dotted != INADDR_NONE_WS) return Publish(name, {dotted});

    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (::getaddrinfo(name, nullptr, &hints, &list) != 0 || list == nullptr) {
        net::Fail(WSAHOST_NOT_FOUND);
        return nullptr;
    }
    std::vector<uint32_t> found;
    for (const addrinfo* item = list; item != nullptr; item = item->ai_next) {
        if (item->ai_family != AF_INET || item->ai_addr == nullptr) continue;
        const auto* address = reinterpret_cast<const sockaddr_in*>(item->ai_addr);
        found.push_back(address->sin_addr.s_addr);
    }
    ::freeaddrinfo(list);
    if (found.empty()) {
        net::Fail(WSANO_DATA);
        return nullptr;
    }
    return Publish(name, found);
}

}  // namespace plat
