/* slowfs: a read-only FUSE passthrough whose reads are slow, for testing
 * and measuring Jumbla on a slow disk under Wine (a host program, built by
 * the Windows trees; tests/robustness/with-slow-drive.sh runs it).
 *
 *   slowfs [--delay-ms=N] [--hold=TEXT] <backing folder> <mount point> [FUSE options]
 *
 * The mount point shows the backing folder, read-only. Every read waits N
 * milliseconds (default 10) inside its handler; the loop is fuse's
 * multi-threaded one, so concurrent reads wait side by side (8 threads
 * reading 8 files take about one delay, not eight). Only reads wait: Wine's
 * server opens and looks up files for every thread of a program, and a slow
 * open or lookup would stall them all. A read of a file whose name contains
 * TEXT never returns while the daemon runs: when it ends (SIGTERM, or a
 * fusermount3 -u), the held reads fail with EIO; a killed daemon leaves them
 * to the kernel, which fails them when its connection closes.
 *
 * Caching: the kernel's page cache stays on (no direct_io), but each open
 * drops the file's cached pages (keep_cache off) and attributes and names
 * are never cached (timeouts 0; files are written to the backing folder
 * behind the mount's back). So the first read after an open always reaches
 * the daemon: a 64-byte header read of a just-opened file costs one READ
 * request, of the kernel's readahead window (a few pages: the whole of a
 * small test file), that is one delay; further reads of those bytes through
 * the same open come from the page cache, consistent and free, as on a real
 * disk with its cache. The readahead requests are the kernel's own
 * (asynchronous reads), so a reader waiting on a held read can still be
 * killed; a direct_io read would hold its process until the daemon answered.
 */
#define FUSE_USE_VERSION 31
#define _GNU_SOURCE

#include <fuse.h>
#include <fuse_lowlevel.h>

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <time.h>
#include <unistd.h>

static struct options {
    unsigned delay_ms;
    const char *hold;
    const char *backing;
    int help;
} options = {10, NULL, NULL, 0};

static const struct fuse_opt option_spec[] = {
    {"--delay-ms=%u", offsetof(struct options, delay_ms), 1},
    {"--hold=%s", offsetof(struct options, hold), 1},
    {"--help", offsetof(struct options, help), 1},
    {"-h", offsetof(struct options, help), 1},
    FUSE_OPT_END,
};

/* The backing folder, opened before fuse_main (which may change folder). */
static int backing_fd = -1;

/* A path of the mount ("/a/b") as a path relative to the backing folder. */
static const char *relative(const char *path)
{
    while (*path == '/')
        ++path;
    return *path != '\0' ? path : ".";
}

static void sleep_ms(unsigned ms)
{
    struct timespec until;
    clock_gettime(CLOCK_MONOTONIC, &until);
    until.tv_sec += ms / 1000;
    until.tv_nsec += (long)(ms % 1000) * 1000000L;
    if (until.tv_nsec >= 1000000000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000L;
    }
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, NULL) == EINTR) {
    }
}

static void *slow_init(struct fuse_conn_info *conn, struct fuse_config *cfg)
{
    cfg->entry_timeout = 0;
    cfg->negative_timeout = 0;
    cfg->attr_timeout = 0;
    cfg->kernel_cache = 0;
    cfg->auto_cache = 0;
    cfg->direct_io = 0;
    /* Readahead goes out as background requests, 12 at most by default:
     * room for many concurrent (and held) reads. */
    conn->max_background = 128;
    conn->congestion_threshold = 96;
    return NULL;
}

static int slow_getattr(const char *path, struct stat *st, struct fuse_file_info *fi)
{
    (void)fi;
    return fstatat(backing_fd, relative(path), st, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : -errno;
}

static int slow_readdir(const char *path, void *buf, fuse_fill_dir_t filler, off_t offset,
                        struct fuse_file_info *fi, enum fuse_readdir_flags flags)
{
    (void)offset, (void)fi, (void)flags;
    int fd = openat(backing_fd, relative(path), O_RDONLY | O_DIRECTORY);
    DIR *dir = fd >= 0 ? fdopendir(fd) : NULL;
    if (dir == NULL) {
        int error = errno;
        if (fd >= 0)
            close(fd);
        return -error;
    }
    for (struct dirent *entry; (entry = readdir(dir)) != NULL;)
        filler(buf, entry->d_name, NULL, 0, 0);
    closedir(dir);
    return 0;
}

static int slow_open(const char *path, struct fuse_file_info *fi)
{
    if ((fi->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    int fd = openat(backing_fd, relative(path), O_RDONLY);
    if (fd < 0)
        return -errno;
    fi->fh = (uint64_t)fd;
    fi->keep_cache = 0;
    fi->direct_io = 0;
    return 0;
}

static int slow_read(const char *path, char *buf, size_t size, off_t offset, struct fuse_file_info *fi)
{
    const char *name = strrchr(path, '/');
    name = name != NULL ? name + 1 : path;
    if (options.hold != NULL && *options.hold != '\0' && strstr(name, options.hold) != NULL) {
        /* Held until the loop ends: it cancels only idle workers and waits
         * for this one, so this one watches for the end itself. */
        struct fuse_session *session = fuse_get_session(fuse_get_context()->fuse);
        while (!fuse_session_exited(session))
            sleep_ms(20);
        return -EIO;
    }
    sleep_ms(options.delay_ms);
    ssize_t got = pread((int)fi->fh, buf, size, offset);
    return got >= 0 ? (int)got : -errno;
}

static int slow_release(const char *path, struct fuse_file_info *fi)
{
    (void)path;
    close((int)fi->fh);
    return 0;
}

static int slow_statfs(const char *path, struct statvfs *st)
{
    (void)path;
    return fstatvfs(backing_fd, st) == 0 ? 0 : -errno;
}

static const struct fuse_operations operations = {
    .init = slow_init,
    .getattr = slow_getattr,
    .readdir = slow_readdir,
    .open = slow_open,
    .read = slow_read,
    .release = slow_release,
    .statfs = slow_statfs,
};

/* The first argument that is no option is the backing folder; the rest go
 * to fuse (the mount point, -f, -o ...). */
static int take_backing(void *data, const char *arg, int key, struct fuse_args *outargs)
{
    (void)data, (void)outargs;
    if (key == FUSE_OPT_KEY_NONOPT && options.backing == NULL) {
        options.backing = arg;
        return 0;
    }
    return 1;
}

int main(int argc, char *argv[])
{
    struct fuse_args args = FUSE_ARGS_INIT(argc, argv);
    if (fuse_opt_parse(&args, &options, option_spec, take_backing) != 0)
        return 1;
    if (options.help || options.backing == NULL) {
        fprintf(stderr, "usage: %s [--delay-ms=N] [--hold=TEXT] <backing folder> <mount point> [FUSE options]\n",
                argv[0]);
        return options.help ? 0 : 1;
    }
    backing_fd = open(options.backing, O_RDONLY | O_DIRECTORY);
    if (backing_fd < 0) {
        perror(options.backing);
        return 1;
    }
    /* Read-only, open to every user (Wine under bwrap may map ids), and
     * threads enough for many held reads beside the slow ones: a held read
     * keeps its thread, and once every thread is held nothing is answered,
     * not even the flush of a close, which no signal interrupts (a program
     * or wineserver closing a file on the drive would hang until the daemon
     * ends). */
    fuse_opt_add_arg(&args, "-oro,allow_other,default_permissions,fsname=slowfs,subtype=slowfs,max_idle_threads=16,max_threads=256");
    int status = fuse_main(args.argc, args.argv, &operations, NULL);
    fuse_opt_free_args(&args);
    return status;
}
