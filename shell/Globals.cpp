#include "Globals.h"

namespace tv::shell {

Globals &globals()
{
    static Globals values;
    return values;
}

} // namespace tv::shell
