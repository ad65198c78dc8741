#include "WorkspaceForms.h"

#include "Forms.h"
#include "MediumProfile.h"
#include "Workspace.h"

namespace tv::workspace {

void registerWorkspaceForms()
{
    tv::shell::Forms::registerForm(QStringLiteral("MP3DragDrop"), [] { return new Workspace(MediumProfile::cassette()); });
    tv::shell::Forms::registerForm(QStringLiteral("MP3MiniDisc"), [] { return new Workspace(MediumProfile::miniDisc()); });
}

} // namespace tv::workspace
