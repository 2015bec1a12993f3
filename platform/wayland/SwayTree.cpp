#include "SwayTree.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vornik {

namespace {

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr uint32_t kGetTree = 4;
constexpr int kAnswerMs = 500;

void collect(const nlohmann::json& node, std::vector<SwayView>& views) {
    if (!node.is_object())
        return;
    const auto pid = node.find("pid");
    if (pid != node.end() && pid->is_number_unsigned()) {
        SwayView view;
        view.pid = pid->get<uint32_t>();
        if (auto name = node.find("name"); name != node.end() && name->is_string())
            view.title = name->get<std::string>();
        if (auto shell = node.find("shell"); shell != node.end() && shell->is_string())
            view.xwayland = shell->get<std::string>() == "xwayland";
        if (auto appId = node.find("app_id"); appId != node.end() && appId->is_string())
            view.appId = appId->get<std::string>();
        if (auto properties = node.find("window_properties"); view.appId.empty() && properties != node.end()) {
            if (auto cls = properties->find("class"); cls != properties->end() && cls->is_string())
                view.appId = cls->get<std::string>();
        }
        views.push_back(std::move(view));
    }
    for (const char* list : {"nodes", "floating_nodes"}) {
        if (auto children = node.find(list); children != node.end() && children->is_array()) {
            for (const auto& child : *children)
                collect(child, views);
        }
    }
}

bool readAll(int fd, char* out, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, kAnswerMs) <= 0)
            return false;
        const ssize_t n = ::read(fd, out + got, size - got);
        if (n <= 0)
            return false;
        got += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::vector<SwayView> swayViewsOf(const std::string& json) {
    std::vector<SwayView> views;
    const auto tree = nlohmann::json::parse(json, nullptr, false);
    if (!tree.is_discarded())
        collect(tree, views);
    return views;
}

std::vector<SwayView> swayViews(const std::string& socketPath) {
    sockaddr_un address{};
    if (socketPath.empty() || socketPath.size() >= sizeof address.sun_path)
        return {};
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size());
    std::string answer;
    char header[14];
    std::memcpy(header, kMagic, 6);
    const uint32_t length = 0;
    std::memcpy(header + 6, &length, 4);
    std::memcpy(header + 10, &kGetTree, 4);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
        ::write(fd, header, sizeof header) == static_cast<ssize_t>(sizeof header) &&
        readAll(fd, header, sizeof header) && std::memcmp(header, kMagic, 6) == 0) {
        uint32_t size = 0;
        std::memcpy(&size, header + 6, 4);
        answer.resize(size);
        if (!readAll(fd, answer.data(), size))
            answer.clear();
    }
    ::close(fd);
    return swayViewsOf(answer);
}

} // namespace vornik
