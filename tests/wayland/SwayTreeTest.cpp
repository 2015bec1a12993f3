// sway's window tree: the windows' processes, and which are X windows, wherever they sit (tiled,
// floating, on another workspace); an X window goes by its class, as sway's toplevels name it.

#include "SwayTree.h"

#include <gtest/gtest.h>

namespace vornik {
namespace {

TEST(SwayTree, EveryWindowWithAProcessWhereverItSits) {
    const std::string tree = R"({"id": 1, "name": "root", "nodes": [
        {"id": 3, "name": "HEADLESS-1", "nodes": [
          {"id": 4, "name": "1", "type": "workspace", "nodes": [
            {"id": 7, "name": "game", "pid": 41, "app_id": "org.example.Game", "shell": "xdg_shell", "nodes": []},
            {"id": 8, "name": null, "nodes": [
              {"id": 9, "name": "X game", "pid": 42, "app_id": null, "shell": "xwayland",
               "window_properties": {"class": "XGame", "instance": "xgame"}, "nodes": []}]}],
           "floating_nodes": [
            {"id": 10, "name": "Vornik", "pid": 43, "app_id": null, "shell": "xwayland",
             "window_properties": {"class": "vornik"}, "nodes": []}]}]}]})";
    const std::vector<SwayView> views = swayViewsOf(tree);
    ASSERT_EQ(views.size(), 3u);
    EXPECT_EQ(views[0].title, "game");
    EXPECT_EQ(views[0].appId, "org.example.Game");
    EXPECT_EQ(views[0].pid, 41u);
    EXPECT_FALSE(views[0].xwayland);
    EXPECT_EQ(views[1].appId, "XGame");
    EXPECT_TRUE(views[1].xwayland);
    EXPECT_EQ(views[2].title, "Vornik");
    EXPECT_EQ(views[2].pid, 43u);
    EXPECT_TRUE(swayViewsOf("not json").empty());
    EXPECT_TRUE(swayViews("/nonexistent/sway-ipc.sock").empty());
}

} // namespace
} // namespace vornik
