/* The reference for Apply and Undo: a bare renameat2 loop over one folder.
 *
 *   bench_renameat2 DIR PREFIX add      renames every NAME to PREFIX NAME
 *   bench_renameat2 DIR PREFIX remove   renames every PREFIX NAME back to NAME
 *
 * The names are read first (not timed); then each file is renamed with
 * renameat2(RENAME_NOREPLACE) by its full path, as a careful renamer must do it.
 * Prints the seconds the renames took; exits 1 when one failed. */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: %s DIR PREFIX add|remove\n", argv[0]);
        return 2;
    }
    const char* dir = argv[1];
    const char* prefix = argv[2];
    const size_t prefixLength = strlen(prefix);
    const int add = strcmp(argv[3], "add") == 0;

    DIR* listing = opendir(dir);
    if (!listing)
        return 1;
    size_t count = 0, capacity = 1024;
    char** names = malloc(capacity * sizeof *names);
    struct dirent* entry;
    while ((entry = readdir(listing)) != NULL) {
        if (entry->d_name[0] == '.')
            continue;
        const int prefixed = strncmp(entry->d_name, prefix, prefixLength) == 0;
        if (prefixed == add)
            continue;
        if (count == capacity)
            names = realloc(names, (capacity *= 2) * sizeof *names);
        names[count++] = strdup(entry->d_name);
    }
    closedir(listing);

    char from[8192], to[8192];
    int failed = 0;
    const double start = Now();
    for (size_t i = 0; i < count; ++i) {
        snprintf(from, sizeof from, "%s/%s", dir, names[i]);
        if (add)
            snprintf(to, sizeof to, "%s/%s%s", dir, prefix, names[i]);
        else
            snprintf(to, sizeof to, "%s/%s", dir, names[i] + prefixLength);
        if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) != 0)
            failed = 1;
    }
    printf("%.6f %zu\n", Now() - start, count);
    return failed;
}
