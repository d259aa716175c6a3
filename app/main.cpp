// kx3816: the window.

#include "app/KxApplication.h"
#include "app/TFrmTest.h"

int main(int argc, char** argv) {
  kx::AppState state;  // start values before any window exists; outlives the window
  kx::KxApplication app(argc, argv);
  int rc = 0;
  {
    kx::TFrmTest window(state);
    app.setErrorPrompts(&window.prompts());
    window.show();
    rc = app.exec();
    app.setErrorPrompts(nullptr);
  }
  return rc;
}
