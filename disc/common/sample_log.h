#pragma once

// The sample programs on the disc record that they ran, so that tests can see what the launcher
// started, from where and how.
//
// When the environment variable VELMORA_SAMPLE_LOG names a file, each program appends one line
// to it on start-up:
//
//     <program>|<working directory>|<command line>\r\n
//
// <program> is "setup" for the installer and "Velmora" for the product; the working directory is
// what GetCurrentDirectoryA reports (no trailing backslash except at a drive root); the command
// line is GetCommandLineA exactly as the program received it. The file is opened, appended to and
// closed for each line, so several programs can write to it one after another.

// Appends the line for `program` when VELMORA_SAMPLE_LOG is set; does nothing otherwise.
// Returns false only when a log was asked for and could not be written.
bool AppendSampleLog(const char* program);

// True when VELMORA_SAMPLE_LOG is set: the programs then close their windows by themselves.
bool SampleLogRequested();
