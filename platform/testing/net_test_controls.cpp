#include "platform/testing/net_test_controls.h"

#include "platform/net/socket_internal.h"

namespace plat {

void SetSocketBufferSizes(int sendBytes, int receiveBytes) {
    net::SocketLayer& layer = net::GetSocketLayer();
    std::lock_guard<std::mutex> hold(layer.lock);
    layer.sendBufferBytes = sendBytes > 0 ? sendBytes : 0;
    layer.receiveBufferBytes = receiveBytes > 0 ? receiveBytes : 0;
}

}  // namespace plat
