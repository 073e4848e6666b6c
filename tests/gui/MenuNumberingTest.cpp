#include "gui/MenuNumbering.h"
#include "gui/PopupMenu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<int32_t> Ids(const MenuNumbering& n, int32_t menu)
{
    std::vector<int32_t> ids;
    for (const MenuNumbering::Item& item : n.ItemsOf(menu))
        ids.push_back(item.id);
    return ids;
}

}   // namespace

TEST(MenuNumbering, SubmenusReserveTheirRangeWhenTheirItemIsMet)
{
    // Top: A, B (x, y (p, q)), C (r), D.
    PopupMenu top;
    top.AddItem("A");
    PopupMenu* b = top.AddSubmenu("B", std::make_unique<PopupMenu>());
    PopupMenu* c = top.AddSubmenu("C", std::make_unique<PopupMenu>());
    top.AddItem("D");
    b->AddItem("x");
    PopupMenu* y = b->AddSubmenu("y", std::make_unique<PopupMenu>());
    y->AddItem("p");
    y->AddItem("q");
    c->AddItem("r");

    const MenuNumbering n(top);
    ASSERT_EQ(n.MenuCount(), 4);
    EXPECT_EQ(Ids(n, 0), (std::vector<int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(Ids(n, 1), (std::vector<int32_t>{4, 5}));
    EXPECT_EQ(Ids(n, 2), (std::vector<int32_t>{6, 7}));
    EXPECT_EQ(Ids(n, 3), (std::vector<int32_t>{8}));
    EXPECT_EQ(n.MenuAt(2), y);
    EXPECT_EQ(n.ItemsOf(0)[1].submenu, 1);
    EXPECT_EQ(n.ItemsOf(0)[2].submenu, 3);
    EXPECT_EQ(n.ItemsOf(1)[1].submenu, 2);
    EXPECT_EQ(n.ItemsOf(0)[0].submenu, -1);

    int32_t index = -2;
    EXPECT_EQ(n.Resolve(3, &index), &top);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(n.Resolve(7, &index), y);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(n.Resolve(8, &index), c);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(n.Resolve(9, &index), nullptr);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(n.Resolve(-1, &index), nullptr);
}

TEST(MenuNumbering, PrefixModesNumberItemsInTheirOwnMenu)
{
    for (int32_t mode : {0, 1, 2, 3}) {
        PopupMenu menu(mode);
        for (int i = 0; i < 10; ++i)
            menu.AddItem("Item");
        menu.AddSeparator();
        PopupMenu* sub = menu.AddSubmenu("More", std::make_unique<PopupMenu>(mode), kMenuItemGrayed);
        sub->AddItem("Deep", kMenuItemChecked);
        const MenuNumbering n(menu);
        const std::vector<MenuNumbering::Item>& items = n.ItemsOf(0);
        const char* ninth[] = {"Item", "9: Item", "09: Item", "009: Item"};
        const char* tenth[] = {"Item", "10: Item", "10: Item", "010: Item"};
        const char* twelfth[] = {"More", "12: More", "12: More", "012: More"};
        const char* deep[] = {"Deep", "1: Deep", "01: Deep", "001: Deep"};
        EXPECT_EQ(items[8].label, ninth[mode]);
        EXPECT_EQ(items[9].label, tenth[mode]);
        EXPECT_EQ(items[10].label, "");
        EXPECT_EQ(items[10].flags, kMenuItemSeparator);
        EXPECT_EQ(items[11].label, twelfth[mode]);
        EXPECT_EQ(items[11].flags, kMenuItemGrayed);
        EXPECT_EQ(n.ItemsOf(1)[0].label, deep[mode]);
        EXPECT_EQ(n.ItemsOf(1)[0].flags, kMenuItemChecked);
        EXPECT_EQ(n.ItemsOf(1)[0].id, 12);
    }
}
