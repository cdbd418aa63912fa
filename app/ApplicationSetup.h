#pragma once

class wxAppConsole;

/// What the application, the tests and the headless driver all need before
/// anything else: the identity the settings are stored under and the image
/// handlers in their registry order, and Exiv2's messages sent to the
/// toolkit's log instead of stderr.
void SetUpApplication(wxAppConsole& app);
