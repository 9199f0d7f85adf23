// Another program on the display's clipboard, for the viewer's tests:
//   clipboard offer TEXT   copies the text and answers for it until another program copies
//   clipboard print        prints what the clipboard holds
#include "XClipboard.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

int main(int argc, char** argv)
{
    XClipboard clipboard;
    if (argc == 3 && !std::strcmp(argv[1], "offer"))
    {
        clipboard.Set(argv[2]);
        while (clipboard.OwnsSelection())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return 0;
    }
    if (argc == 2 && !std::strcmp(argv[1], "print"))
    {
        std::printf("%s\n", clipboard.Get().c_str());
        return 0;
    }
    std::fprintf(stderr, "usage: clipboard offer TEXT | clipboard print\n");
    return 2;
}
