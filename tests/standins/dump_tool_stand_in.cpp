// Plays the previous version's dump tool in the Windows tests: started
// directly, as the real one is, it waits, then writes its dump where it was
// started, under a temporary name first as the real one does, and ends with
// the exit code it is given.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

int main() {
    if (const char* seconds = std::getenv("KESTRO_STAND_IN_SECONDS"))
        std::this_thread::sleep_for(std::chrono::seconds(std::atoi(seconds)));
    const char* exitCode = std::getenv("KESTRO_STAND_IN_EXIT");
    const int ending = exitCode ? std::atoi(exitCode) : 0;
    const char* dump = std::getenv("KESTRO_STAND_IN_DUMP");
    if (!dump || !*dump)
        return ending;
    namespace fs = std::filesystem;
    fs::copy_file(dump, "Recupera.tmp", fs::copy_options::overwrite_existing);
    fs::rename("Recupera.tmp", "Recupera.txt");
    return ending;
}
