#include "MiniPlayerForms.h"

#include "Forms.h"
#include "frmMini.h"

namespace tv::miniplayer {

void registerMiniPlayerForm()
{
    tv::shell::Forms::registerForm(QStringLiteral("frmMini"), [] { return new frmMini; });
}

} // namespace tv::miniplayer
