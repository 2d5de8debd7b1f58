#include "app/cli/Bounded.h"
#include "app/cli/Cli.h"

int main(int argc, char** argv)
{
    // Ends without waiting for a router that a command has stopped listening to.
    velmora::cli::EndNow(velmora::cli::RunCli(argc, argv));
}
