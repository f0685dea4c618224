// The toolkit's own texts (a field's context menu, the file dialogs, the message-box buttons) in
// Chinese, so that the whole window speaks one language.
#pragma once

class QCoreApplication;

// InstallToolkitTranslations loads Qt's Simplified Chinese catalogue from the Qt installation into
// `app`; false when it is not installed (the toolkit's texts then stay English).
bool InstallToolkitTranslations(QCoreApplication& app);
