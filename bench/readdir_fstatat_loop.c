/* The reference for the scan: a bare single-thread walk over a folder tree.
 *
 *   bench_readdir DIR
 *
 * readdir + fstatat for every entry, depth first, each folder's files before
 * its subfolders, one thread; nothing is kept but a count and a sum of sizes.
 * This is the least a scan that reports size and time of every file must do
 * on one core. Prints the seconds the walk took and the number of files;
 * exits 1 when the root cannot be opened. */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static double Now(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (double)t.tv_sec + (double)t.tv_nsec / 1e9;
}

static unsigned long long g_files, g_bytes;

static void Walk(int folder) {
    DIR* listing = fdopendir(folder);
    if (!listing) {
        close(folder);
        return;
    }
    size_t count = 0, capacity = 0;
    char** subfolders = NULL;
    struct dirent* entry;
    struct stat info;
    while ((entry = readdir(listing)) != NULL) {
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        if (fstatat(dirfd(listing), name, &info, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISREG(info.st_mode)) {
            ++g_files;
            g_bytes += (unsigned long long)info.st_size;
        } else if (S_ISDIR(info.st_mode)) {
            if (count == capacity) {
                capacity = capacity ? capacity * 2 : 16;
                subfolders = realloc(subfolders, capacity * sizeof *subfolders);
            }
            subfolders[count++] = strdup(name);
        }
    }
    for (size_t i = 0; i < count; ++i) {
        const int sub = openat(dirfd(listing), subfolders[i], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (sub >= 0)
            Walk(sub);
        free(subfolders[i]);
    }
    free(subfolders);
    closedir(listing);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const double start = Now();
    const int root = open(argv[1], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root < 0)
        return 1;
    Walk(root);
    printf("%.6f %llu %llu\n", Now() - start, g_files, g_bytes);
    return 0;
}
